#!/usr/bin/env bash
# The printer tests' own queue: starts the CUPS scheduler when it is not
# running (through systemd when the machine runs it, else cupsd directly)
# and adds the queue KorvaneTestPDF (KORVANE_TEST_PRINTER names another): a
# cups-pdf printer writing into /var/spool/cups-pdf/korvane/USER, with the
# pdftocairo renderer so that the text of the pages survives the filters.
# Needs root or password-less sudo; anything that cannot be done is said on
# stderr, and the printer test then skips itself. Always exits 0.
#   test_printer_queue.sh
set -uo pipefail

queue="${KORVANE_TEST_PRINTER:-KorvaneTestPDF}"
instance=korvane
say() { printf 'test printer: %s\n' "$*" >&2; }
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}
running() { lpstat -r 2>/dev/null | grep -qx "scheduler is running"; }

if ! command -v lpstat >/dev/null || ! command -v lpadmin >/dev/null; then
  say "CUPS is not installed"
  exit 0
fi
if ! running; then
  say "starting the CUPS scheduler"
  if [ -d /run/systemd/system ] && command -v systemctl >/dev/null; then
    as_root systemctl start cups >/dev/null 2>&1 || true
  fi
  running || as_root /usr/sbin/cupsd >/dev/null 2>&1 || true
  for _ in $(seq 1 50); do
    running && break
    sleep 0.2
  done
fi
if ! running; then
  say "the CUPS scheduler could not be started"
  exit 0
fi
lpstat -p "$queue" 2>/dev/null | grep -q "printer $queue" && exit 0
[ "$queue" = "KorvaneTestPDF" ] || {
  say "no queue $queue"
  exit 0
}
conf="/etc/cups/cups-pdf-$instance.conf"
wanted='Out /var/spool/cups-pdf/korvane/${USER}'
if [ "$(cat "$conf" 2>/dev/null)" != "$wanted" ]; then
  printf '%s\n' "$wanted" | as_root tee "$conf" >/dev/null || true
fi
if ! as_root lpadmin -p "$queue" -E -v "cups-pdf:/$instance" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
  -o pdftops-renderer-default=pdftocairo -o printer-is-shared=false 2>/dev/null; then
  say "the queue $queue could not be added"
fi
exit 0
