#!/usr/bin/env bash
# Packs a Windows build (./dev.sh build windows) for users:
#   tools/package-windows.sh BUILD_DIR OUT_DIR
# installs the build into OUT_DIR/stage/Korvane (the program folder: the two
# programs, Qt's files, the examples, the licences) and makes from it
#   OUT_DIR/korvane-VERSION-win64-setup.exe  the setup (NSIS: makensis)
#   OUT_DIR/korvane-VERSION-win64.zip        the same folder, to run unpacked
# and prints the setup's path.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
[ -n "$version" ] || { echo "package-windows: no version in $build/CMakeCache.txt" >&2; exit 1; }

stage="$out/stage/Korvane"
rm -rf "$out/stage"
cmake --install "$build" --prefix "$stage" --strip >/dev/null

# The uninstaller removes exactly these files, then the folders the setup
# made, deepest first (RMDir leaves a folder that still holds the user's
# files).
remove="$out/stage/remove.nsh"
(
  cd "$stage"
  find . -type f | sed 's|^\./||' | LC_ALL=C sort | while IFS= read -r f; do
    printf 'Delete "$INSTDIR\\%s"\n' "${f//\//\\}"
  done
  find . -mindepth 1 -type d | sed 's|^\./||' | LC_ALL=C sort -r | while IFS= read -r d; do
    printf 'RMDir "$INSTDIR\\%s"\n' "${d//\//\\}"
  done
) >"$remove"

setup="$out/korvane-$version-win64-setup.exe"
zip="$out/korvane-$version-win64.zip"
rm -f "$setup" "$zip"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DREMOVE="$remove" \
  -DICON="$ROOT/packaging/windows/korvane.ico" -DOUTFILE="$setup" "$ROOT/packaging/windows/korvane.nsi" >&2
(cd "$out/stage" && cmake -E tar cf "$zip" --format=zip Korvane)
echo "$setup"
