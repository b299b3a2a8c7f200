#!/usr/bin/env bash
# Makes Qt for Windows (MinGW-w64), the toolkit of the Windows build, from
# Debian's own qt6-base 6.4.2 source package: qtbase as shared DLLs (Core,
# Gui, Widgets, PrintSupport, Network, Test; the windows and offscreen
# platform plugins, the Windows style), built with the project's MinGW-w64
# compilers and Debian's Qt host tools (moc, rcc, uic: qt6-base-dev-tools of
# the same version), packed as qt6.4.2-mingw-w64-x86_64.tar.xz:
#   tools/build-qt-windows.sh OUTPUT_FOLDER [WORK_FOLDER]
# About 75 minutes on 2 cores and 2 GB in WORK_FOLDER (default: a temporary
# folder). Then ./dev.sh finds it with KORVANE_QT_MINGW_DIR=OUTPUT_FOLDER.
#
# What differs from a stock Qt for MinGW: no OpenGL, Vulkan, D-Bus, ICU,
# SQL, Concurrent, Xml, OpenSSL or zstd; no QTabletEvent (Debian's +dfsg
# source has no wintab.h); no Direct2D platform plugin, so text is drawn by
# the GDI font engine (the guards of the print engine and the windows
# plugin, which use DirectWrite only through Direct2D, are given QtGui's
# condition); the MinGW runtime is linked into every DLL (-static).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[ $# -ge 1 ] || { sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
mkdir -p "$1"
OUT="$(cd "$1" && pwd)/qt6.4.2-mingw-w64-x86_64.tar.xz"
WORK="${2:-$(mktemp -d)}"
PREFIX=/opt/qt6.4.2-mingw-w64
SRC="$WORK/qtbase-everywhere-src-6.4.2"
log() { printf '== %s\n' "$*" >&2; }

missing=()
for pkg in cmake ninja-build perl xz-utils dpkg-dev g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
dpkg-query -W -f='${Version}' qt6-base-dev | grep -q '^6\.4\.2' || { log "Debian's qt6-base-dev is not 6.4.2"; exit 1; }

log "source: qt6-base 6.4.2+dfsg-10 with Debian's patches"
rm -rf "$WORK/source"
"$ROOT/tools/windows-deps.sh" --source qt6-base=6.4.2+dfsg-10 "$WORK/source" >/dev/null
rm -rf "$SRC"
mv "$WORK/source"/qt6-base-*/ "$SRC"
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
  "$SRC/src/plugins/platforms/windows/qwindowsintegration.cpp"
sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
  "$SRC/src/printsupport/platform/windows/qprintengine_win.cpp"

# The project's toolchain, with the MinGW runtime linked into the DLLs too.
toolchain="$WORK/mingw-w64-x86_64-qt.cmake"
{
  cat "$ROOT/cmake/mingw-w64-x86_64.cmake"
  echo 'set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")'
  echo 'set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")'
} >"$toolchain"

log "configure"
rm -rf "$WORK/build"
mkdir -p "$WORK/build"
(cd "$WORK/build" && "$SRC/configure" -prefix "$PREFIX" -release -shared -xplatform win32-g++ -qt-host-path /usr \
  -nomake examples -nomake tests -no-opengl -no-dbus -no-icu \
  -no-feature-sql -no-feature-concurrent -no-feature-xml \
  -no-feature-direct2d -no-feature-tabletevent -no-feature-vulkan -no-openssl -no-zstd \
  -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion \
  -- -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >"$WORK/configure.log"

log "build (about 75 minutes on 2 cores)"
cmake --build "$WORK/build" --parallel "$(nproc 2>/dev/null || echo 2)"

log "install and pack"
rm -rf "$WORK/stage"
DESTDIR="$WORK/stage" cmake --install "$WORK/build" >/dev/null
find "$WORK/stage$PREFIX" -name '*.dll' -print0 | xargs -0 -r x86_64-w64-mingw32-strip --strip-unneeded
# Qt's toolchain file chain-loads the one it was built with, found beside
# itself wherever the folder is unpacked.
install -m 644 "$toolchain" "$WORK/stage$PREFIX/lib/cmake/Qt6/mingw-w64-x86_64-qt.cmake"
sed -i "s|\"$toolchain\"|\"\${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-qt.cmake\"|" \
  "$WORK/stage$PREFIX/lib/cmake/Qt6/qt.toolchain.cmake"
tar -C "$WORK/stage/opt" -cJf "$OUT" "$(basename "$PREFIX")"
log "made $OUT"
