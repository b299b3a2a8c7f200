#!/usr/bin/env bash
# Installs the Debian packages of the named groups that are missing
# (apt-get, with sudo when not run as root):
#   tools/install-packages.sh GROUP...
# Groups: build, test, run, format, fuzz, package, tidy, windows. An unknown
# group is refused with the list.
set -euo pipefail

# Report fonts: Liberation for Arial and Times New Roman; AR PL UMing (宋体,
# 仿宋, 隶书), AR PL UKai (楷体) and WenQuanYi Zen Hei (黑体), whose glyphs
# each draw one character only, so that PDF text extracts as drawn.
# poppler-utils: the tests read the PDFs' text back with pdftotext.
build=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libxlsxwriter-dev libzip-dev libxml2-dev locales fonts-noto-cjk fonts-liberation2
  fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei poppler-utils ccache qt6-translations-l10n)
# LibreOffice lays the Word report out as a word processor does; the test of
# its pages is skipped without it. CUPS with the cups-pdf printer: a test
# prints through a real queue and reads the PDF it produced.
test=(libreoffice-writer-nogui cups cups-client cups-bsd printer-driver-cups-pdf)
run=(xvfb xauth)
format=(clang-format git)
fuzz=(clang libclang-rt-14-dev)
# The Debian package: dpkg-shlibdeps (the Depends of the binaries) and lintian.
package=(dpkg-dev lintian)
# clang-tidy over the sources, with the repository's .clang-tidy.
tidy=(clang-tidy)
# The Windows legs: the MinGW-w64 cross-compiler and zlib, GoogleTest's
# sources (built for the target), Qt's host tools and Chinese texts, Wine to
# run the programs (with the fonts copied into its prefix), dpkg-dev to
# unpack Debian's source packages of the office libraries; Xvfb, openbox,
# xdotool, ImageMagick and Tesseract's Chinese model to start the desktop
# program on a display and read its window; NSIS for the setup. Installed
# without the recommended extras (Wine's would bring desktop integration and
# fonts).
windows=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 qt6-base-dev-tools
  qt6-translations-l10n fonts-wqy-zenhei fonts-liberation2 dpkg-dev xvfb xauth openbox xdotool imagemagick
  tesseract-ocr tesseract-ocr-chi-sim nsis)
groups=(build test run format fuzz package tidy windows)

log() { printf '== %s\n' "$*" >&2; }

# install_missing [--no-install-recommends] PKG...
install_missing() {
  local options=()
  if [ "${1:-}" = "--no-install-recommends" ]; then
    options=(--no-install-recommends)
    shift
  fi
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  log "installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q -o DPkg::Lock::Timeout=600 "${options[@]}" \
    "${missing[@]}"
}

wanted=()
windows_wanted=false
for group in "$@"; do
  case " ${groups[*]} " in
    *" $group "*) ;;
    *)
      log "install-packages: unknown group \"$group\"; groups: ${groups[*]}"
      exit 2
      ;;
  esac
  if [ "$group" = windows ]; then
    windows_wanted=true
  else
    declare -n list="$group"
    wanted+=("${list[@]}")
    unset -n list
  fi
done
[ ${#wanted[@]} -gt 0 ] && install_missing "${wanted[@]}"
if $windows_wanted; then install_missing --no-install-recommends "${windows[@]}"; fi
exit 0
