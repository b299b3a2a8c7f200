#!/usr/bin/env bash
# Developer entry point.
#   ./dev.sh run            build and start the desktop program on an example file
#   ./dev.sh test           check the formatting, build (normal, Windows and
#                           sanitizer builds), run every test and clang-tidy;
#                           prints each leg's time at the end
#   ./dev.sh test quick     normal build and its tests only (the edit-test loop)
#   ./dev.sh test windows   the Windows legs alone: cross-build, tests under
#                           Wine, the desktop program's window, the setup
#   ./dev.sh build [asan|windows]  build only (windows: the whole program and
#                           its tests for 64-bit Windows with MinGW-w64 and
#                           Qt for Windows, into build-windows/bin)
#   ./dev.sh package [windows]  release build and its Debian package
#                           (build-release/package/*.deb); windows: the setup
#                           korvane-VERSION-win64-setup.exe and the portable
#                           zip (build-windows/package/)
#   ./dev.sh bench          build and run the benchmarks
#   ./dev.sh fuzz [SECONDS] build the libFuzzer targets with clang and run them;
#                           fails when a fuzzer finds a crash
#   ./dev.sh deps           install everything the full test needs
# Each command installs the missing Debian packages it needs first
# (tools/install-packages.sh: apt-get, with sudo when not run as root).
# build, test quick, bench and fuzz install build packages only;
# LibreOffice, CUPS and Wine come with deps and the full test. The printer
# tests set up their own CUPS queue (tests/support/test_printer_queue.sh). An unknown
# word after a command is refused with the choices.
#
# The Linux legs are CMake presets (CMakePresets.json): configure, build and
# test presets dev, asan (the sanitizers' options in its environment) and
# release (with its package preset), fuzz; each leg runs without this script
# too, once the packages are installed:
#   cmake --workflow --preset dev|asan|release|windows-cross
# (windows-cross after tools/windows-deps.sh; the preset windows is the
# Visual Studio build on Windows itself).
#
# The Windows build needs Qt for Windows (MinGW-w64), a tarball made from
# Debian's qt6-base source: tools/windows-deps.sh unpacks it once per machine
# into ~/.cache/korvane-windows (KORVANE_WINDOWS_CACHE) from
# $KORVANE_QT_MINGW_DIR or ../shared/toolchains, and builds libzip,
# libxlsxwriter and libxml2 there from Debian's source packages. Without the
# tarball the Windows legs do not run and the summary says so
# (tools/build-qt-windows.sh makes it).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="$ROOT/build"
BUILD_FUZZ="$ROOT/build-fuzz"
BUILD_WINDOWS="$ROOT/build-windows"

# Each leg's time, and the legs that could not run, for the summary.
LEG_TIMES=()
NOT_RUN=()

log() { printf '== %s\n' "$*" >&2; }

# packages GROUP...: installs the Debian packages of the groups that are
# missing (tools/install-packages.sh lists them).
packages() { "$ROOT/tools/install-packages.sh" "$@"; }

build_jobs() { nproc 2>/dev/null || echo 2; }

# Repeated builds of the same sources (worktrees, the build variants' shared
# files) come from the compiler cache when it is installed.
compiler_launcher() {
  command -v ccache >/dev/null && echo -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
  return 0
}

# build_preset PRESET [cmake args...]: configures the preset's folder and builds it.
build_preset() {
  local preset="$1"
  shift
  # shellcheck disable=SC2046
  (cd "$ROOT" && cmake --preset "$preset" $(compiler_launcher) "$@" >/dev/null)
  (cd "$ROOT" && cmake --build --preset "$preset" --parallel "$(build_jobs)")
}

# leg NAME COMMAND...: runs one leg of the test and keeps its time.
leg() {
  local name="$1" started=$SECONDS status=0
  shift
  "$@" || status=$?
  LEG_TIMES+=("$(printf '%-34s %5d s%s' "$name" $((SECONDS - started)) "$([ $status -eq 0 ] || echo " (failed)")")")
  return $status
}

print_summary() {
  [ ${#LEG_TIMES[@]} -eq 0 ] && [ ${#NOT_RUN[@]} -eq 0 ] && return 0
  log "time of each leg:"
  local line
  for line in "${LEG_TIMES[@]}"; do printf '   %s\n' "$line" >&2; done
  for line in "${NOT_RUN[@]}"; do printf '   NOT RUN: %s\n' "$line" >&2; done
  return 0
}

# Unpacks Qt for Windows and builds the office libraries once per machine
# (tools/windows-deps.sh); sets WINDOWS_CACHE. Returns 3 when the toolkit is
# missing (the script said why). Done once per run of this script.
windows_deps() {
  [ -n "${WINDOWS_CACHE:-}" ] && return 0
  packages windows
  local status=0
  WINDOWS_CACHE="$("$ROOT/tools/windows-deps.sh")" || status=$?
  return $status
}

# The whole program and its tests for 64-bit Windows, cross-compiled with
# MinGW-w64 against Qt for Windows; the tests run under Wine and compare the
# tool's output with the normal build's korvane-cli (built first when
# missing).
build_windows() {
  windows_deps || return
  # The windows-cross preset (-O2 as the normal build, without debug
  # information: a sixth less build time, an eighth of the size), with the
  # cache this machine uses.
  build_preset windows-cross -DKORVANE_WINDOWS_PREFIXES="$WINDOWS_CACHE/qt;$WINDOWS_CACHE/deps" \
    -DCMAKE_PREFIX_PATH="$WINDOWS_CACHE/qt;$WINDOWS_CACHE/deps"
}

# The setup and the portable zip of the Windows build; sets WINDOWS_SETUP.
package_windows() {
  WINDOWS_SETUP="$("$ROOT/tools/package-windows.sh" "$BUILD_WINDOWS" "$BUILD_WINDOWS/package")"
}

# The Windows legs; need the normal build's korvane-cli. Without Qt for
# Windows they are listed as not run.
test_windows() {
  local status=0
  leg "windows: third-party (once)" windows_deps || status=$?
  if [ $status -eq 3 ]; then
    NOT_RUN+=("the Windows legs (no Qt for Windows: see tools/windows-deps.sh)")
    return 0
  fi
  [ $status -eq 0 ] || return $status
  log "Windows build (MinGW-w64) and its tests under Wine"
  leg "windows: build" build_windows
  # Wine itself now and then fails to start a program (seen once in many
  # runs: no output, 0.01 s); a test that fails twice is a real failure. The
  # desktop program's window on a display is the test windows.desktop.
  leg "windows: tests under Wine" test_preset windows-cross
  leg "windows: setup" package_windows
  leg "windows: setup installed under Wine" "$ROOT/tests/windows/installer_test.sh" "$WINDOWS_SETUP" \
    "$BUILD/bin/korvane-cli" "$ROOT/samples" "$BUILD_WINDOWS/installer-test"
  log "Windows legs passed"
}

# test_preset PRESET: the preset's tests (the sanitizers' options are in the
# asan preset's environment).
test_preset() {
  (cd "$ROOT" && ctest --preset "$1" -j "$(build_jobs)")
}

# refuse_unknown COMMAND GIVEN CHOICE...: stops with the choices when GIVEN
# (non-empty) is none of them.
refuse_unknown() {
  local command="$1" given="$2" choice
  shift 2
  [ -z "$given" ] && return 0
  for choice in "$@"; do
    [ "$given" = "$choice" ] && return 0
  done
  log "./dev.sh $command: unknown \"$given\"; choose one of: $* (or none)"
  exit 2
}

cmd_build() {
  refuse_unknown build "${1:-}" asan windows
  packages build
  if [ "${1:-}" = "windows" ]; then
    build_windows
    log "Windows programs: $BUILD_WINDOWS/bin"
  elif [ "${1:-}" = "asan" ]; then
    build_preset asan
  else
    build_preset dev
  fi
}

# C++ sources of the repository (tracked, and new files not ignored).
source_files() {
  if git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$ROOT" ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h'
  else
    (cd "$ROOT" && find src tests bench fuzz -name '*.cpp' -print0 -o -name '*.h' -print0)
  fi
}

# Every C++ source must be as clang-format leaves it (repository's .clang-format).
check_format() {
  packages format
  log "formatting (clang-format)"
  local unformatted
  unformatted="$(cd "$ROOT" && source_files | xargs -0 -r clang-format --dry-run 2>&1 |
    sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)"
  if [ -n "$unformatted" ]; then
    log "not formatted (run clang-format -i on them):"
    printf '   %s\n' $unformatted >&2
    return 1
  fi
}

# clang-tidy over the program's sources with the repository's .clang-tidy;
# any finding fails.
run_tidy() {
  log "clang-tidy"
  (cd "$ROOT" && git ls-files -z -- 'src/*.cpp' 2>/dev/null || find src -name '*.cpp' -print0) |
    xargs -0 -r -n 4 -P "$(build_jobs)" clang-tidy -p "$BUILD" --quiet --warnings-as-errors='*' --extra-arg=-Wno-unknown-warning-option \
      2> >(grep -v -E '^[0-9]+ warnings? generated|^Suppressed|^Use -header-filter' >&2)
}

cmd_test() {
  refuse_unknown test "${1:-}" quick windows
  if [ "${1:-}" = "quick" ]; then
    # The edit-test loop: build packages only, nothing else on the machine
    # (tests that need LibreOffice or the test printer skip themselves).
    packages build
    log "normal build"
    build_preset dev
    test_preset dev
    log "tests of the normal build passed"
    return 0
  fi
  trap print_summary EXIT
  if [ "${1:-}" = "windows" ]; then
    packages build
    (cd "$ROOT" && cmake --preset dev >/dev/null)
    cmake --build "$BUILD" --parallel "$(build_jobs)" --target korvane-cli
    test_windows
    return 0
  fi
  packages build test tidy package
  leg "formatting" check_format
  log "normal build"
  leg "normal build" build_preset dev
  leg "normal tests" test_preset dev
  leg "clang-tidy" run_tidy
  leg "Debian package" build_package
  leg "Debian package check" "$ROOT/tests/package/check_package.sh" "$PACKAGE_PATH"
  test_windows
  log "sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)"
  leg "sanitizer build" build_preset asan
  leg "sanitizer tests" test_preset asan
  if [ ${#NOT_RUN[@]} -gt 0 ]; then
    log "all tests that ran passed; NOT RUN: ${NOT_RUN[*]}"
  else
    log "all tests passed"
  fi
}

example_file() {
  local f
  for f in "$ROOT"/samples/*.SHA "$ROOT"/samples/*.SHT; do
    [ -f "$f" ] && { echo "$f"; return 0; }
  done
  return 1
}

cmd_run() {
  packages build run
  build_preset dev
  local example=""
  example="$(example_file || true)"
  if [ -x "$BUILD/bin/korvane" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$BUILD/bin/korvane" ${example:+"$example"}
  fi
  if [ -x "$BUILD/bin/korvane" ]; then
    log "no display: showing the evaluation of the example with the command-line tool instead"
  fi
  if [ -n "$example" ]; then
    "$BUILD/bin/korvane-cli" evaluate "$example"
  else
    "$BUILD/bin/korvane-cli" zone --standard "CECS 02:2005" \
      --readings 30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45 \
      --distances 200,200,200 --times 50,50,50
  fi
}

# Builds the release preset (Debian's optimization and hardening flags) and
# its .deb; sets PACKAGE_PATH.
build_package() {
  packages build package
  log "release build and Debian package"
  build_preset release
  local dir="$ROOT/build-release/package"  # the release package preset's folder
  rm -f "$dir"/*.deb
  (cd "$ROOT" && cpack --preset release >/dev/null)
  PACKAGE_PATH="$(ls "$dir"/*.deb)"
}

cmd_package() {
  refuse_unknown package "${1:-}" windows
  if [ "${1:-}" = "windows" ]; then
    packages build
    local status=0
    build_windows || status=$?
    [ $status -eq 3 ] && { log "no Windows setup: Qt for Windows is missing"; return 3; }
    [ $status -eq 0 ] || return $status
    package_windows
    log "setup: $WINDOWS_SETUP"
    log "portable: ${WINDOWS_SETUP%-setup.exe}.zip"
    return 0
  fi
  build_package
  log "package: $PACKAGE_PATH"
}

cmd_bench() {
  packages build
  build_preset dev
  local b
  for b in "$BUILD"/bin/*_bench; do
    [ -x "$b" ] || continue
    log "$(basename "$b")"
    "$b"
  done
}

cmd_fuzz() {
  local seconds="${1:-60}"
  packages build fuzz
  build_preset fuzz
  local fuzzer name failed=()
  for fuzzer in "$BUILD_FUZZ"/bin/*_fuzzer; do
    [ -x "$fuzzer" ] || continue
    name="$(basename "$fuzzer" _fuzzer)"
    mkdir -p "$ROOT/fuzz/crashes/$name" "$BUILD_FUZZ/corpus/$name"
    log "fuzzing $name for ${seconds}s (new crash inputs go to fuzz/crashes/$name)"
    if ! "$fuzzer" -max_total_time="$seconds" -artifact_prefix="$ROOT/fuzz/crashes/$name/" \
      "$BUILD_FUZZ/corpus/$name" "$ROOT/fuzz/corpus/$name"; then
      failed+=("$name")
    fi
  done
  if [ ${#failed[@]} -gt 0 ]; then
    log "a fuzzer found a crash: ${failed[*]} (inputs in fuzz/crashes/; the replay tests now run them)"
    return 1
  fi
}

case "${1:-}" in
  run) shift; cmd_run "$@" ;;
  test) shift; cmd_test "$@" ;;
  build) shift; cmd_build "$@" ;;
  bench) shift; cmd_bench "$@" ;;
  package) shift; cmd_package "$@" ;;
  fuzz) shift; cmd_fuzz "$@" ;;
  deps)
    packages build test run tidy package format windows
    "$ROOT/tools/windows-deps.sh" >/dev/null || true
    ;;
  *)
    sed -n '2,/^[^#]/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
