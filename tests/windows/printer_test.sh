#!/usr/bin/env bash
# Printing from the Windows korvane-cli.exe under Wine: Qt's Windows print
# engine, the printer list Windows (here Wine, from CUPS) offers, Wine's
# PostScript driver, the printer tests' cups-pdf queue (set up by
# tests/support/test_printer_queue.sh):
#   printer_test.sh RUNNER BIN_DIR SAMPLES WORK
# A report printed to the queue must arrive as a PDF of 8 pages whose first
# page reads as the record sheet. Exits 77 (skipped, with the reason) without
# a running CUPS scheduler or the queue (KORVANE_TEST_PRINTER, by default
# KorvaneTestPDF).
set -euo pipefail

runner="$1" bin="$2" samples="$3" work="$4"
queue="${KORVANE_TEST_PRINTER:-KorvaneTestPDF}"
skip() {
  echo "printer test skipped: $*"
  exit 77
}
fail() {
  echo "printer test: $*" >&2
  exit 1
}
command -v lpstat >/dev/null || skip "CUPS is not installed"
"$(dirname "${BASH_SOURCE[0]}")/../support/test_printer_queue.sh"
lpstat -r 2>/dev/null | grep -q "scheduler is running" || skip "the CUPS scheduler is not running"
lpstat -p "$queue" 2>/dev/null | grep -q "printer $queue" || skip "no CUPS queue $queue"

# The job's title, which cups-pdf gives the file: a name of this run.
rm -rf "$work"
mkdir -p "$work"
stem="korvane-windows-print-$$-$RANDOM"
cp "$samples/result-3members-cecs2005.SHA" "$work/$stem.SHA"
cp "$samples/result-3members-cecs2005.SHD" "$work/$stem.SHD"
out="$("$runner" "$bin/korvane-cli.exe" report "Z:$work/$stem.SHA" --record-sheet --result-table --printer "$queue" 2>&1 |
  tr -d '\r')" || fail "korvane-cli.exe failed: $out"
[ "$out" = "printer $queue: 8 pages" ] || fail "korvane-cli.exe said: $out"

folder="/var/spool/cups-pdf/korvane/$(id -un)"
pdf=""
for _ in $(seq 1 480); do
  pdf="$(find "$folder" -name "$stem*.pdf" 2>/dev/null | head -n 1)"
  if [ -n "$pdf" ] && [ "$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')" = 8 ]; then
    break
  fi
  sleep 0.25
done
[ -n "$pdf" ] || fail "no PDF named $stem* in $folder after 2 minutes; queue: $(lpstat -o "$queue")"
pages="$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')"
[ "$pages" = 8 ] || fail "$pdf has $pages pages"
first="$(pdftotext -enc UTF-8 -l 1 "$pdf" - | tr -d ' \n')"
for text in 现场记录表 工程名称 示例工程综合楼 一层柱3; do
  case "$first" in *"$text"*) ;; *) fail "'$text' is not on page 1 of $pdf" ;; esac
done
rm -f "$pdf"
echo "printer test passed: 8 pages through the Windows print path to $queue"
