#!/usr/bin/env bash
# Developer entry point.
#   ./dev.sh run            build and start the desktop program on an example file
#   ./dev.sh test           check the formatting, build (normal, Windows and
#                           sanitizer builds), run every test and clang-tidy
#   ./dev.sh test quick     normal build and its tests only (the edit-test loop)
#   ./dev.sh test windows   the Windows leg alone: cross-build, tests under Wine
#   ./dev.sh build [asan|windows]  build only (windows: the core, korvane-cli
#                           and the core tests for 64-bit Windows with
#                           MinGW-w64, into build-windows/bin)
#   ./dev.sh package        release build and its Debian package (build-release/*.deb)
#   ./dev.sh bench          build and run the benchmarks
#   ./dev.sh fuzz [SECONDS] build the libFuzzer targets with clang and run them;
#                           fails when a fuzzer finds a crash
#   ./dev.sh deps           install everything the full test needs and set up
#                           its printer queue
# Each command installs the missing Debian packages it needs first (apt-get,
# with sudo when not run as root). build, test quick, bench and fuzz install
# build packages only and change nothing else on the machine; the test
# printer, LibreOffice and Wine come with deps and the full test. The Linux
# builds are the CMake presets dev, asan and fuzz (CMakePresets.json).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="$ROOT/build"
BUILD_ASAN="$ROOT/build-asan"
BUILD_FUZZ="$ROOT/build-fuzz"
BUILD_WINDOWS="$ROOT/build-windows"

# Report fonts: Liberation for Arial and Times New Roman; AR PL UMing (宋体,
# 仿宋, 隶书), AR PL UKai (楷体) and WenQuanYi Zen Hei (黑体), whose glyphs
# each draw one character only, so that PDF text extracts as drawn.
# poppler-utils: the tests read the PDFs' text back with pdftotext.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libxlsxwriter-dev libzip-dev libxml2-dev locales fonts-noto-cjk fonts-liberation2
  fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei poppler-utils ccache qt6-translations-l10n)
# LibreOffice lays the Word report out as a word processor does; the test of
# its pages is skipped without it. CUPS with the cups-pdf printer: a test
# prints through a real queue and reads the PDF it produced.
TEST_PACKAGES=(libreoffice-writer-nogui cups cups-client cups-bsd printer-driver-cups-pdf)
# The test printer: a cups-pdf queue writing into its own folder.
TEST_PRINTER=KorvaneTestPDF
TEST_PRINTER_INSTANCE=korvane
RUN_PACKAGES=(xvfb xauth)
FORMAT_PACKAGES=(clang-format git)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The Debian package: dpkg-shlibdeps (the Depends of the binaries) and lintian.
PACKAGE_PACKAGES=(dpkg-dev lintian)
# clang-tidy over the sources, with the repository's .clang-tidy.
TIDY_PACKAGES=(clang-tidy)
# The Windows leg: the MinGW-w64 cross-compiler, GoogleTest's sources (built
# for the target) and Wine to run the programs. Installed without the
# recommended extras (Wine's would bring desktop integration and fonts).
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix googletest wine wine64)
# Programs of the Windows build (and the test programs it runs).
WINDOWS_TARGETS=(korvane_forms korvane-cli korvane_tests)

log() { printf '== %s\n' "$*" >&2; }

# ensure_packages [--no-install-recommends] PKG...
ensure_packages() {
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

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}

cups_running() { lpstat -r 2>/dev/null | grep -qx "scheduler is running"; }

# Starts the CUPS scheduler when it is not running (through systemd when the
# machine runs it, else cupsd directly) and adds the test printer: a
# cups-pdf queue whose PDFs go to /var/spool/cups-pdf/korvane/USER, with the
# pdftocairo renderer so that the text of the pages survives the filters.
# Failures are reported and leave the printer test to skip itself.
setup_test_printer() {
  if ! command -v lpstat >/dev/null || ! command -v lpadmin >/dev/null; then
    log "CUPS is not installed: the printer test will be skipped"
    return 0
  fi
  if ! cups_running; then
    log "starting the CUPS scheduler"
    if [ -d /run/systemd/system ] && command -v systemctl >/dev/null; then
      as_root systemctl start cups >/dev/null 2>&1 || true
    fi
    cups_running || as_root /usr/sbin/cupsd >/dev/null 2>&1 || true
    local tries=0
    while ! cups_running && [ $tries -lt 50 ]; do
      sleep 0.2
      tries=$((tries + 1))
    done
  fi
  if ! cups_running; then
    log "the CUPS scheduler could not be started: the printer test will be skipped"
    return 0
  fi
  local conf="/etc/cups/cups-pdf-$TEST_PRINTER_INSTANCE.conf"
  local wanted='Out /var/spool/cups-pdf/korvane/${USER}'
  if [ "$(cat "$conf" 2>/dev/null)" != "$wanted" ]; then
    printf '%s\n' "$wanted" | as_root tee "$conf" >/dev/null || true
  fi
  if ! as_root lpadmin -p "$TEST_PRINTER" -E -v "cups-pdf:/$TEST_PRINTER_INSTANCE" \
    -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -o pdftops-renderer-default=pdftocairo \
    -o printer-is-shared=false 2>/dev/null; then
    log "the test printer $TEST_PRINTER could not be added: the printer test will be skipped"
  fi
}

build_jobs() { nproc 2>/dev/null || echo 2; }

# Repeated builds of the same sources (worktrees, the build variants' shared
# files) come from the compiler cache when it is installed.
compiler_launcher() {
  command -v ccache >/dev/null && echo -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
  return 0
}

# configure DIR [cmake args...]  (a build without a preset: the Windows leg)
configure() {
  local dir="$1"
  shift
  # shellcheck disable=SC2046
  cmake -S "$ROOT" -B "$dir" -G Ninja -DKORVANE_WERROR=ON $(compiler_launcher) "$@" >/dev/null
}

# build_preset PRESET [cmake args...]: configures the preset's folder and builds it.
build_preset() {
  local preset="$1"
  shift
  # shellcheck disable=SC2046
  (cd "$ROOT" && cmake --preset "$preset" $(compiler_launcher) "$@" >/dev/null)
  cmake --build "$(preset_dir "$preset")" --parallel "$(build_jobs)"
}

preset_dir() {
  case "$1" in
    dev) echo "$BUILD" ;;
    asan) echo "$BUILD_ASAN" ;;
    fuzz) echo "$BUILD_FUZZ" ;;
    release) echo "$ROOT/build-release" ;;
  esac
}

# The Windows build: korvane_core, korvane-cli without the Qt and office
# parts, and the core tests, cross-compiled with MinGW-w64. Its tests compare
# the tool's output with the normal build's korvane-cli (built first when
# missing).
build_windows() {
  ensure_packages --no-install-recommends "${WINDOWS_PACKAGES[@]}"
  # -O2 as the normal build, without debug information (a sixth less build
  # time, an eighth of the size).
  configure "$BUILD_WINDOWS" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DKORVANE_BUILD_QT=OFF -DKORVANE_BUILD_OFFICE=OFF \
    -DKORVANE_BUILD_BENCH=OFF -DKORVANE_REFERENCE_CLI="$BUILD/bin/korvane-cli"
  cmake --build "$BUILD_WINDOWS" --parallel "$(build_jobs)" --target "${WINDOWS_TARGETS[@]}"
}

# Builds and runs the Windows leg; needs the normal build's korvane-cli.
test_windows() {
  local started=$SECONDS
  log "Windows build (MinGW-w64) and its tests under Wine"
  build_windows
  # Wine itself now and then fails to start a program (seen once in many
  # runs: no output, 0.01 s); a test that fails twice is a real failure.
  run_ctest "$BUILD_WINDOWS" --repeat until-pass:2
  log "Windows leg passed in $((SECONDS - started)) s"
}

run_ctest() {
  local dir="$1"
  shift
  ctest --test-dir "$dir" --output-on-failure -j "$(build_jobs)" --timeout 600 "$@"
}

cmd_build() {
  ensure_packages "${BUILD_PACKAGES[@]}"
  if [ "${1:-}" = "windows" ]; then
    build_windows
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
  ensure_packages "${FORMAT_PACKAGES[@]}"
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
  if [ "${1:-}" = "quick" ]; then
    # The edit-test loop: build packages only, nothing else on the machine
    # (tests that need LibreOffice or the test printer skip themselves).
    ensure_packages "${BUILD_PACKAGES[@]}"
    log "normal build"
    build_preset dev
    run_ctest "$BUILD"
    log "tests of the normal build passed"
    return 0
  fi
  if [ "${1:-}" = "windows" ]; then
    ensure_packages "${BUILD_PACKAGES[@]}"
    (cd "$ROOT" && cmake --preset dev >/dev/null)
    cmake --build "$BUILD" --parallel "$(build_jobs)" --target korvane-cli
    test_windows
    return 0
  fi
  ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${TIDY_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
  setup_test_printer
  check_format
  log "normal build"
  build_preset dev
  run_ctest "$BUILD"
  run_tidy
  build_package
  "$ROOT/tests/package/check_package.sh" "$PACKAGE_PATH"
  test_windows
  log "sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)"
  build_preset asan
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1" \
    LSAN_OPTIONS="suppressions=$ROOT/tools/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    run_ctest "$BUILD_ASAN"
  log "all tests passed"
}

example_file() {
  local f
  for f in "$ROOT"/samples/*.SHA "$ROOT"/samples/*.SHT; do
    [ -f "$f" ] && { echo "$f"; return 0; }
  done
  return 1
}

cmd_run() {
  ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
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
  ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
  log "release build and Debian package"
  build_preset release
  local dir
  dir="$(preset_dir release)"
  rm -f "$dir"/*.deb
  (cd "$dir" && cpack -G DEB)
  PACKAGE_PATH="$(ls "$dir"/*.deb)"
}

cmd_package() {
  build_package
  log "package: $PACKAGE_PATH"
}

cmd_bench() {
  ensure_packages "${BUILD_PACKAGES[@]}"
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
  ensure_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
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
    ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${TIDY_PACKAGES[@]}" \
      "${PACKAGE_PACKAGES[@]}"
    ensure_packages --no-install-recommends "${WINDOWS_PACKAGES[@]}"
    setup_test_printer
    ;;
  *)
    sed -n '2,/^[^#]/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
