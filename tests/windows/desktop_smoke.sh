#!/usr/bin/env bash
# The Windows desktop program as a user meets it, under Wine on a display:
#   desktop_smoke.sh RUNNER BIN_DIR SAMPLES REFERENCE_CLI WORK
# starts BIN_DIR/korvane.exe (the windows platform plugin) on an example
# pair copied under a Chinese folder and file name with blanks, on an Xvfb
# display of its own; waits for its window; takes a screenshot
# (WORK/screen.png) and reads it with Tesseract's Chinese model: the main
# screen's menus must be there as text (Chinese drawn with glyphs, not
# boxes); saves with Ctrl+S (the program's own command path), and the saved
# pair must be what the Linux korvane-cli writes for the same file, byte for
# byte, and evaluate to the same values as the example; closes the window with Alt+F4 and
# the program must end with status 0.
set -euo pipefail

if [ -z "${KORVANE_SMOKE_DISPLAY:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (Debian: xvfb)" >&2; exit 1; }
  exec env KORVANE_SMOKE_DISPLAY=1 xvfb-run -a -s "-screen 0 2560x1600x24 -nolisten tcp" "$0" "$@"
fi

runner="$1" bin="$2" samples="$3" reference="$4" work="$5"
for tool in openbox xdotool import tesseract; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: ./dev.sh deps installs it" >&2; exit 1; }
done
fail() {
  echo "desktop smoke test: $*" >&2
  exit 1
}

rm -rf "$work"
folder="$work/检测 数据"
mkdir -p "$folder" "$work/config" "$work/linux"
cp "$samples/result-3members-cecs2005.SHA" "$folder/综合楼 一层.SHA"
cp "$samples/result-3members-cecs2005.SHD" "$folder/综合楼 一层.SHD"
file="$folder/综合楼 一层.SHA"
# A window manager maximizes the window as on a desktop.
openbox >/dev/null 2>&1 &
wm=$!
# A Wine prefix of its own, kept between runs: the Wine server of the other
# tests runs without a display, and no program it starts can open a window.
# The Windows side sees the machine's root as drive Z:. At 200 % scaling
# (Qt's scale factor; Wine gives no display scaling of its own) the glyphs
# are large enough to be read back reliably.
export KORVANE_WINEPREFIX="$work-prefix"
KORVANE_WINE_DISPLAY="$DISPLAY" KORVANE_CONFIG_DIR="Z:$work/config" \
  WINEQT_SCALE_FACTOR=2 \
  "$runner" "$bin/korvane.exe" "Z:$file" >"$work/program.log" 2>&1 &
program=$!
# The prefix's Wine server ends with the test (the display goes with it).
stop_wine() { WINEPREFIX="$KORVANE_WINEPREFIX" wineserver -k 2>/dev/null || true; }
trap 'kill $program $wm 2>/dev/null || true; stop_wine' EXIT

# The main window: the biggest visible window of the program.
window=""
for _ in $(seq 1 240); do
  window="$(xdotool search --onlyvisible --class korvane 2>/dev/null | tail -n 1 || true)"
  [ -n "$window" ] && break
  kill -0 $program 2>/dev/null || fail "the program ended before its window showed: $(cat "$work/program.log")"
  sleep 0.5
done
[ -n "$window" ] || fail "no window after 120 s: $(cat "$work/program.log")"
title="$(xdotool getwindowname "$window")"
case "$title" in
  *"综合楼 一层.SHA"*) ;;
  *) fail "the window's title is '$title', not the file's name" ;;
esac

# Let it paint, then look at it as a person would.
sleep 3
import -window root "$work/screen.png"
import -window "$window" "$work/window.png"
convert "$work/window.png" -crop 1000x60+0+0 -colorspace Gray "$work/menus.png"
tesseract "$work/menus.png" "$work/menus" -l chi_sim --psm 6 >/dev/null 2>&1 || fail "tesseract failed"
read_text="$(tr -d ' \n' <"$work/menus.txt")"
found=0
for word in 文件 编辑 查看 帮助 窗口 输出 工具; do
  case "$read_text" in *"$word"*) found=$((found + 1)) ;; esac
done
[ $found -ge 3 ] || fail "the menus do not read as Chinese (Tesseract read '$read_text'; see $work/screen.png)"

# Save through the program's own command and read the pair back on Linux.
before="$(stat -c %Y.%N "$file" 2>/dev/null || stat -c %Y "$file")"
touch -d '2000-01-01' "$file"
xdotool windowactivate --sync "$window" key ctrl+s
for _ in $(seq 1 60); do
  [ "$(stat -c %Y "$file")" -gt 946771200 ] && break
  sleep 0.5
done
[ "$(stat -c %Y "$file")" -gt 946771200 ] || fail "Ctrl+S did not save the file (before: $before)"
"$reference" convert "$samples/result-3members-cecs2005.SHA" "$work/linux/a.SHA" >/dev/null
cmp "$file" "$work/linux/a.SHA" || fail "the saved .SHA differs from the Linux build's"
cmp "${file%.SHA}.SHD" "$work/linux/a.SHD" || fail "the saved .SHD differs from the Linux build's"
# The same values as the original (a save stamps the program's version and
# the day into the software line).
"$reference" evaluate "$file" --json | grep -v '"softwareId"' >"$work/saved.json"
"$reference" evaluate "$samples/result-3members-cecs2005.SHA" --json | grep -v '"softwareId"' >"$work/original.json"
cmp "$work/saved.json" "$work/original.json" || fail "the saved pair evaluates to other values"

# Close the window as a user does; the program ends by itself.
xdotool windowactivate --sync "$window" key alt+F4
for _ in $(seq 1 60); do
  kill -0 $program 2>/dev/null || break
  sleep 0.5
done
kill -0 $program 2>/dev/null && fail "the program did not end after Alt+F4"
status=0
wait $program || status=$?
[ $status -eq 0 ] || fail "the program ended with status $status: $(cat "$work/program.log")"
echo "desktop smoke test passed: window '$title', menus read '$read_text', saved pair equal"
