#!/usr/bin/env bash
# A real default printer for the printing tests: CUPS with a cups-pdf queue
# named PDF, whose jobs land as PDF files in the user's ~/PDF.
#
#   pdfprinter.sh run -- COMMAND [ARG...]
#
# Where no CUPS scheduler runs, starts one (root only: there is no service
# manager here), makes PDF the default printer, runs COMMAND and stops the
# scheduler again. A scheduler that already runs is used as it is, provided
# PDF is its default printer. COMMAND sees BOOTP_PDF_DIR, the folder the
# queue writes to. Exits with COMMAND's status; with 77 when there is no
# such printer, unless BOOTP_PRINTER_REQUIRED=1 makes that a failure.
set -euo pipefail

usage() { echo "usage: $0 run -- COMMAND [ARG...]" >&2; exit 2; }
[ "${1:-}" = run ] && [ "${2:-}" = -- ] && [ $# -ge 3 ] || usage
shift 2

no_printer() {
    echo "pdfprinter: no PDF printer ($1)." >&2
    if [ "${BOOTP_PRINTER_REQUIRED:-0}" = 1 ]; then exit 1; fi
    echo "pdfprinter: SKIPPED: the printing tests did not run." >&2
    exit 77
}

cupsd=/usr/sbin/cupsd
for tool in "$cupsd" lpadmin lpstat pdftotext pdfinfo; do
    command -v "$tool" >/dev/null || no_printer "$tool is missing; Debian: cups printer-driver-cups-pdf poppler-utils"
done

scheduler_runs() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }

if scheduler_runs; then
    lpstat -d 2>/dev/null | grep -q ': PDF$' ||
        no_printer "the running CUPS scheduler's default printer is not PDF; make it: lpadmin -d PDF"
else
    [ "$(id -u)" = 0 ] || no_printer "no CUPS scheduler runs, and only root can start one"
    "$cupsd" -f &
    scheduler=$!
    trap 'kill "$scheduler" 2>/dev/null; wait "$scheduler" 2>/dev/null || true' EXIT
    for _ in $(seq 100); do
        scheduler_runs && break
        sleep 0.1
    done
    scheduler_runs || no_printer "the CUPS scheduler did not start"
    # The queue's own renderer makes PDFs whose text cannot be extracted.
    lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null &&
        lpadmin -p PDF -o pdftops-renderer-default=pdftocairo &&
        lpadmin -d PDF ||
        no_printer "lpadmin could not set up the queue"
fi

BOOTP_PDF_DIR="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
export BOOTP_PDF_DIR
"$@"
