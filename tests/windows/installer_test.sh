#!/usr/bin/env bash
# The Windows setup under Wine, in a Wine prefix of its own:
#   installer_test.sh SETUP.exe REFERENCE_CLI SAMPLES WORK
# installs silently (/S) into Program Files\Korvane and checks the program
# folder (the programs, Qt's DLLs and plugins, the examples; nothing of the
# build tree; the desktop program's DPI-aware manifest), the Start-menu
# entries and the file types .SHA and .SHT in the registry; runs the installed korvane-cli.exe (--version, evaluate on
# an installed example, compared with the build machine's korvane-cli);
# uninstalls silently with a file of the user's in the program folder (it
# stays, everything else goes, the registry entries too); then installs and
# uninstalls again: the program folder is gone.
set -euo pipefail

setup="$1" reference="$2" samples="$3" work="$4"
fail() {
  echo "setup test: $*" >&2
  exit 1
}

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$work"
mkdir -p "$work"
wine wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p5 </dev/null >/dev/null 2>&1 || true

folder="$WINEPREFIX/drive_c/Program Files/Korvane"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Korvane"
install() {
  wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the setup failed"
  wineserver -w
  [ -f "$folder/korvane.exe" ] || fail "nothing installed in $folder"
}
# The uninstaller copies itself away and returns at once; wineserver -w
# waits for the copy.
uninstall() {
  wine "$folder/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
  wineserver -w
}
# The default value of a registry key; nothing when the key is missing.
registry() {
  local out
  out="$(wine reg query "$1" /ve 2>/dev/null)" && printf '%s\n' "$out" | tr -d '\r'
  return 0
}

install
for f in korvane.exe korvane-cli.exe uninstall.exe qt.conf Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll \
  Qt6Network.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll translations/qtbase_zh_CN.qm \
  examples/result-3members-cecs2005.SHA examples/result-3members-cecs2005.SHD LGPL-3.txt THIRD-PARTY.txt; do
  [ -f "$folder/$f" ] || fail "not installed: $f"
done
# The desktop program declares itself DPI-aware per monitor (its manifest).
grep -aq '<dpiAwareness[^>]*>PerMonitorV2</dpiAwareness>' "$folder/korvane.exe" ||
  fail "korvane.exe carries no per-monitor DPI awareness"
extra="$(cd "$folder" && find . -name '*_tests.exe' -o -name 'Qt6Test.dll' -o -name '*.a' -o -name 'CMake*')"
[ -z "$extra" ] || fail "files of the build tree installed: $extra"
for link in "超声回弹综合法 Korvane.lnk" "卸载 Korvane.lnk"; do
  [ -f "$menu/$link" ] || fail "no Start-menu entry $link"
done
for type in SHA SHT; do
  registry "HKLM\\Software\\Classes\\.$type" | grep -q "Korvane\\.$type" || fail ".$type is not Korvane's file type"
  registry "HKLM\\Software\\Classes\\Korvane.$type\\shell\\open\\command" | grep -qi 'Korvane\\korvane.exe" "%1"' ||
    fail ".$type files do not open with korvane.exe"
done

cli="$folder/korvane-cli.exe"
version="$(wine "$cli" --version </dev/null 2>&1 | tr -d '\r')"
[ "$version" = "$("$reference" --version)" ] || fail "korvane-cli.exe --version said '$version'"
wine "$cli" evaluate 'C:\Program Files\Korvane\examples\result-3members-cecs2005.SHA' --json </dev/null \
  >"$work/windows.json" 2>"$work/windows.err" || fail "evaluate failed: $(cat "$work/windows.err")"
"$reference" evaluate "$samples/result-3members-cecs2005.SHA" --json >"$work/linux.json"
cmp "$work/windows.json" "$work/linux.json" || fail "the installed tool evaluates the example differently"

# A file of the user's in the program folder stays; the setup's files go.
cp "$folder/examples/result-3members-cecs2005.SHA" "$folder/examples/我的检测.SHA"
uninstall
left="$(cd "$folder" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')"
[ "$left" = "./examples ./examples/我的检测.SHA " ] || fail "after uninstalling, the program folder holds: $left"
[ ! -e "$menu" ] || fail "the Start-menu entries stay after uninstalling"
for type in SHA SHT; do
  [ -z "$(registry "HKLM\\Software\\Classes\\Korvane.$type")" ] || fail "Korvane.$type stays in the registry"
done
rm -rf "$folder"

install
uninstall
[ ! -e "$folder" ] || fail "the program folder stays after uninstalling: $(ls -R "$folder")"
echo "setup test passed: installed, run, uninstalled ($(du -h "$setup" | cut -f1) setup)"
