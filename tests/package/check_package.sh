#!/usr/bin/env bash
# Checks a built korvane .deb as an administrator's machine would see it:
# its file list, its Depends (each satisfied by an installed package), the
# programs run from a root it is unpacked into (no build folder on any
# path), and lintian without errors.
#   tests/package/check_package.sh PACKAGE.deb
set -euo pipefail

deb="$(realpath "$1")"
fail() { printf 'package check: %s\n' "$*" >&2; exit 1; }

# ---- The file list -------------------------------------------------------------
files="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')"
for wanted in \
  /usr/bin/korvane /usr/bin/korvane-cli \
  /usr/share/applications/korvane.desktop \
  /usr/share/mime/packages/korvane.xml \
  /usr/share/icons/hicolor/scalable/apps/korvane.svg \
  /usr/share/man/man1/korvane.1.gz /usr/share/man/man1/korvane-cli.1.gz \
  /usr/share/bash-completion/completions/korvane-cli \
  /usr/share/doc/korvane/copyright /usr/share/doc/korvane/changelog.gz \
  /usr/share/korvane/examples/result-3members-cecs2005.SHA \
  /usr/share/korvane/examples/result-3members-cecs2005.SHD \
  /usr/share/korvane/examples/raw-1member-cecs2005.SHT \
  /usr/share/korvane/examples/cubes.csv; do
  grep -qx "$wanted" <<<"$files" || fail "missing $wanted"
done
# Nothing from a build tree or a developer's machine.
if grep -E '^/(home|tmp|work|root)/|/build[^/]*/|\.a$|/include/' <<<"$files"; then
  fail "files that do not belong in the package (above)"
fi

# ---- Depends: the libraries (from the binaries) and the run-time needs -----------
depends="$(dpkg-deb -f "$deb" Depends)"
for wanted in libqt6widgets6 libxlsxwriter libzip fonts-arphic-uming fonts-wqy-zenhei qt6-translations-l10n \
  qt6-qpa-plugins; do
  grep -q "$wanted" <<<"$depends" || fail "Depends lacks $wanted: $depends"
done
# Every dependency (one alternative of each) is installed here: what the
# unpacked programs below run with is what the package asks for.
IFS=',' read -ra entries <<<"$depends"
for entry in "${entries[@]}"; do
  satisfied=no
  IFS='|' read -ra alternatives <<<"$entry"
  for alternative in "${alternatives[@]}"; do
    name="$(sed -E 's/^ *([^ (]+).*/\1/' <<<"$alternative")"
    if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed"; then
      satisfied=yes
      break
    fi
  done
  [ "$satisfied" = yes ] || fail "dependency not installed on this machine: $entry"
done

# ---- The installed programs ------------------------------------------------------
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
# A clean environment: no build folder, no LD_LIBRARY_PATH.
run() { env -i HOME="$root/home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen "$@"; }
mkdir -p "$root/home"
version="$(dpkg-deb -f "$deb" Version)"
[ "$(run "$root/usr/bin/korvane" --version)" = "korvane $version" ] || fail "korvane --version"
[ "$(run "$root/usr/bin/korvane-cli" --version)" = "korvane-cli $version" ] || fail "korvane-cli --version"
out="$(run "$root/usr/bin/korvane-cli" evaluate "$root/usr/share/korvane/examples/result-3members-cecs2005.SHA")"
grep -q "batch:" <<<"$out" || fail "korvane-cli evaluate of an installed example: $out"
out="$(run "$root/usr/bin/korvane-cli" curve "$root/usr/share/korvane/examples/cubes.csv" --json 2>/dev/null)"
grep -q '"n": 30' <<<"$out" || fail "korvane-cli curve of the installed cubes: $out"
ldd "$root/usr/bin/korvane" "$root/usr/bin/korvane-cli" | grep -q "not found" && fail "unresolved libraries"
# The manual page names every command and the exit status.
page="$(zcat "$root/usr/share/man/man1/korvane-cli.1.gz")"
for command in zone estimate info evaluate convert merge generate waveform pick report export curve cores; do
  grep -q "^\.SS $command" <<<"$page" || fail "man korvane-cli lacks $command"
done
grep -q "EXIT STATUS" <<<"$page" || fail "man korvane-cli lacks the exit status"
bash -n "$root/usr/share/bash-completion/completions/korvane-cli" || fail "bash completion"

# ---- lintian ----------------------------------------------------------------------
if command -v lintian >/dev/null; then
  report="$(lintian --tag-display-limit 0 "$deb" 2>&1 || true)"
  printf '%s\n' "$report" | sed 's/^/  lintian: /' >&2
  if grep -q '^E:' <<<"$report"; then fail "lintian reports errors"; fi
else
  fail "lintian is not installed"
fi
printf 'package check: %s passed\n' "$(basename "$deb")" >&2
