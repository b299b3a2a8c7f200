#!/usr/bin/env bash
# The third-party parts of the Windows build, made once per machine into a
# cache outside the clone (KORVANE_WINDOWS_CACHE, by default
# ~/.cache/korvane-windows):
#   qt/     Qt 6.4.2 for MinGW-w64, unpacked from the toolkit's tarball
#   deps/   libzip, libxlsxwriter and libxml2 as static libraries, built with
#           the project's MinGW-w64 toolchain file from Debian's own source
#           packages (apt-get source), their tests and tools off
# zlib for MinGW-w64 is Debian's libz-mingw-w64-dev. Nothing is downloaded
# but Debian's source packages.
#
# The toolkit's tarball is looked for in KORVANE_QT_MINGW_DIR (a folder
# holding qt6.4.2-mingw-w64-x86_64.tar.xz), else in ../shared/toolchains
# beside the clone. Without it this script says so and exits with status 3;
# tools/build-qt-windows.sh makes the tarball from Debian's qt6-base source.
#
#   tools/windows-deps.sh          make what is missing; print the cache folder
#   tools/windows-deps.sh --source PACKAGE=VERSION FOLDER
#                                  fetch and unpack a Debian source package
#                                  (its patches applied) into FOLDER
#
# Qt is unpacked again when the tarball's checksum changes, a library is
# built again when the recipe below (RECIPE) does.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${KORVANE_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvane-windows}"
QT_TARBALL_NAME=qt6.4.2-mingw-w64-x86_64.tar.xz
# Bump when the way a library is built changes.
RECIPE=1
SOURCE_PACKAGES=(libzip libxlsxwriter libxml2)

log() { printf '== %s\n' "$*" >&2; }

qt_tarball() {
  local dir
  for dir in "${KORVANE_QT_MINGW_DIR:-}" "$ROOT/../shared/toolchains"; do
    [ -n "$dir" ] && [ -f "$dir/$QT_TARBALL_NAME" ] && { echo "$dir/$QT_TARBALL_NAME"; return 0; }
  done
  return 1
}

missing_toolkit() {
  cat >&2 <<EOF
== Qt for Windows (MinGW-w64) was not found: no $QT_TARBALL_NAME in
   \$KORVANE_QT_MINGW_DIR (${KORVANE_QT_MINGW_DIR:-not set}) or in $ROOT/../shared/toolchains.
   Make it once from Debian's qt6-base source (about 75 minutes on 2 cores):
     tools/build-qt-windows.sh OUTPUT_FOLDER
   then run again with KORVANE_QT_MINGW_DIR=OUTPUT_FOLDER.
EOF
  exit 3
}

# The Qt prefix is the tarball's only top folder.
unpack_qt() {
  local tarball stamp
  if ! tarball="$(qt_tarball)"; then
    # Unpacked before from a tarball this clone does not see: still good.
    [ -f "$CACHE/qt/.stamp" ] && return 0
    missing_toolkit
  fi
  stamp="$(sha256sum "$tarball" | cut -d' ' -f1)"
  if [ "$(cat "$CACHE/qt/.stamp" 2>/dev/null)" = "$stamp" ]; then
    return 0
  fi
  log "unpacking Qt for Windows into $CACHE/qt"
  rm -rf "$CACHE/qt" "$CACHE/qt.new"
  mkdir -p "$CACHE/qt.new"
  tar -C "$CACHE/qt.new" -xf "$tarball"
  local top
  top="$(find "$CACHE/qt.new" -mindepth 1 -maxdepth 1 -type d)"
  mv "$top" "$CACHE/qt"
  rmdir "$CACHE/qt.new"
  printf '%s\n' "$stamp" >"$CACHE/qt/.stamp"
}

# apt settings of our own, with deb-src entries made from the machine's own
# deb entries, so that the system's source lists are left as they are.
APT_DIR="$CACHE/apt"
apt_options() {
  printf '%s\n' -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$APT_DIR/sources.list.d" \
    -o Dir::State::Lists="$APT_DIR/lists" -o Dir::Cache="$APT_DIR/cache" -o Debug::NoLocking=1 \
    -o APT::Sandbox::User=root
}
apt_private() {
  local options
  mapfile -t options < <(apt_options)
  "$1" -q "${options[@]}" "${@:2}"
}

prepare_apt() {
  mkdir -p "$APT_DIR/sources.list.d" "$APT_DIR/lists/partial" "$APT_DIR/cache/archives/partial"
  rm -f "$APT_DIR/sources.list.d/"*
  local f n=0
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    n=$((n + 1))
    sed 's/^Types:.*/Types: deb-src/' "$f" >"$APT_DIR/sources.list.d/$n.sources"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    n=$((n + 1))
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >"$APT_DIR/sources.list.d/$n.list"
  done
  apt_private apt-get update >/dev/null
}

# The version apt would fetch of a source package.
source_version() {
  apt_private apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | head -n 1
}

TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
ZLIB_ROOT=/usr/x86_64-w64-mingw32

cmake_library() {
  local source="$1" build="$2"
  shift 2
  cmake -S "$source" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$CACHE/deps" -DBUILD_SHARED_LIBS=OFF \
    -DZLIB_INCLUDE_DIR="$ZLIB_ROOT/include" -DZLIB_LIBRARY="$ZLIB_ROOT/lib/libz.a" \
    -DCMAKE_POLICY_DEFAULT_CMP0074=NEW -Wno-dev "$@" >"$build.log" 2>&1 ||
    { tail -n 30 "$build.log" >&2; return 1; }
  cmake --build "$build" --parallel "$(nproc 2>/dev/null || echo 2)" >>"$build.log" 2>&1 &&
    cmake --install "$build" >>"$build.log" 2>&1 ||
    { tail -n 30 "$build.log" >&2; return 1; }
}

build_library() {
  local name="$1" version="$2" work="$CACHE/src/$1"
  log "building $name $version for Windows from Debian's source package"
  rm -rf "$work"
  mkdir -p "$work"
  (cd "$work" && apt_private apt-get source "$name=$version" >"$work.fetch.log" 2>&1) ||
    { tail -n 20 "$work.fetch.log" >&2; return 1; }
  local source
  source="$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)"
  case "$name" in
    libzip)
      cmake_library "$source" "$work/build" -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
        -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
        -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
      ;;
    libxlsxwriter)
      cmake_library "$source" "$work/build" -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF
      ;;
    libxml2)
      cmake_library "$source" "$work/build" -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF \
        -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_TESTS=OFF \
        -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_MODULES=OFF
      ;;
  esac
  rm -rf "$work"
}

build_libraries() {
  local name version wanted=()
  for name in "${SOURCE_PACKAGES[@]}"; do
    grep -q " recipe $RECIPE\$" "$CACHE/deps/.stamp-$name" 2>/dev/null || wanted+=("$name")
  done
  [ ${#wanted[@]} -eq 0 ] && return 0
  prepare_apt
  for name in "${wanted[@]}"; do
    version="$(source_version "$name")"
    [ -n "$version" ] || { log "no source package $name in the machine's apt sources"; return 1; }
    build_library "$name" "$version"
    printf '%s recipe %s\n' "$version" "$RECIPE" >"$CACHE/deps/.stamp-$name"
  done
}

if [ "${1:-}" = "--source" ]; then
  [ $# -eq 3 ] || { echo "usage: $0 --source PACKAGE=VERSION FOLDER" >&2; exit 2; }
  prepare_apt
  mkdir -p "$3"
  (cd "$3" && apt_private apt-get source "$2")
  exit 0
fi

mkdir -p "$CACHE/deps"
# One run at a time per cache (two builds on one machine).
exec 9>"$CACHE/.lock"
flock 9
unpack_qt
build_libraries
echo "$CACHE"
