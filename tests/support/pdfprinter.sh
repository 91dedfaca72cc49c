#!/usr/bin/env bash
# A real default printer for the printing tests: a CUPS scheduler of their
# own, with one queue, PDF, that writes each job as a PDF file.
#
#   pdfprinter.sh run -- COMMAND [ARG...]
#
# The scheduler keeps its configuration, spool, cache, state, logs and socket
# in a temporary folder, listens on no network port and announces nothing, so
# whether or not the machine's own scheduler runs, its queues and default
# printer are never touched; the script checks that the machine's default
# printer is the same afterwards. Only the user who runs the script can use
# the scheduler: its socket is in a folder of theirs alone, and its policy
# lets no one else do anything. COMMAND sees CUPS_SERVER (this scheduler's
# socket), BOOTP_PRINTED_PDF (the file the queue writes each job to) and
# BOOTP_PAGE_LOG (one line a finished job: its id and name). Exits with
# COMMAND's status. A printer that cannot be set up is a failure as root;
# without root the tests are skipped (77), unless BOOTP_PRINTER_REQUIRED=1.
set -euo pipefail
source "$(dirname "$(realpath "$0")")/../../scripts/checks.sh" pdfprinter
check_run_usage "$@"
shift 2

no_printer() { cannot_set_up "no PDF printer: $1" BOOTP_PRINTER_REQUIRED; }

cupsd=/usr/sbin/cupsd
for tool in "$cupsd" lpadmin lpstat pdftotext pdfinfo /usr/lib/cups/filter/pdftopdf; do
    command -v "$tool" >/dev/null || no_printer "$tool is missing; Debian: cups cups-filters poppler-utils"
done

# What the machine's own scheduler, if any, gives as default printer: the
# scheduler that CUPS_SERVER names, else the machine's usual socket. Named
# outright, as a client that finds no scheduler at its socket tries others.
machine_scheduler=${CUPS_SERVER:-/run/cups/cups.sock}
machine_default() { CUPS_SERVER=$machine_scheduler lpstat -d 2>&1 || true; }
default_before=$(machine_default)

scheduler=
stop_scheduler() { end_process "$scheduler"; }
make_work_folder stop_scheduler
root=$work
# Run by root, the scheduler runs its filters as the user lp, who must reach
# the spool inside; the socket is in a folder that no one else can enter.
chmod 711 "$root"
mkdir -p "$root/etc" "$root/spool/tmp" "$root/cache" "$root/state" "$root/log" "$root/out"
mkdir -m 700 "$root/socket"
socket=$root/socket/cups.sock

cat >"$root/etc/cups-files.conf" <<EOF
ServerRoot $root/etc
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
Printcap $root/printcap
FileDevice Yes
EOF
# No network port, no announcements: its own socket alone. Its user alone
# may do anything, known by the socket's peer credentials.
cat >"$root/etc/cupsd.conf" <<EOF
Listen $socket
Browsing No
BrowseLocalProtocols none
LogLevel warn
PageLogFormat %j %{job-name}
<Location />
Order allow,deny
Allow all
</Location>
<Policy default>
<Limit All>
AuthType Default
Require user $(id -un)
Order deny,allow
</Limit>
</Policy>
EOF
# A printer that takes PDF: CUPS's pdftopdf lays the pages out on the paper
# and the result goes to the file unchanged, its text still extractable.
cat >"$root/pdf.ppd" <<'EOF'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PDFFILE.PPD"
*Manufacturer: "Generic"
*Product: "(PDF File)"
*ModelName: "PDF File"
*ShortNickName: "PDF File"
*NickName: "PDF File"
*PSVersion: "(3010) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*cupsVersion: 2.4
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Page Size: PickOne
*DefaultPageSize: A4
*PageSize A4/A4: ""
*PageSize Letter/US Letter: ""
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*DefaultPageRegion: A4
*PageRegion A4/A4: ""
*PageRegion Letter/US Letter: ""
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "18 18 577 824"
*ImageableArea Letter/US Letter: "18 18 594 774"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/US Letter: "612 792"
EOF

"$cupsd" -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" &
scheduler=$!
# Runs a command on this scheduler. A default printer that the caller's
# environment names would stand before its default.
private() { env -u LPDEST -u PRINTER CUPS_SERVER="$socket" "$@"; }
running() { private lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }
for _ in $(seq 100); do
    running && break
    sleep 0.1
done
running || no_printer "the CUPS scheduler did not start"
private lpadmin -p PDF -E -v "file://$root/out/printed.pdf" -P "$root/pdf.ppd" 2>/dev/null &&
    private lpadmin -d PDF ||
    no_printer "lpadmin could not set up the queue"

status=0
private BOOTP_PRINTED_PDF="$root/out/printed.pdf" BOOTP_PAGE_LOG="$root/log/page_log" "$@" || status=$?

default_after=$(machine_default)
if [ "$default_after" != "$default_before" ]; then
    echo "pdfprinter: the machine's default printer changed: '$default_before' before, '$default_after' after." >&2
    [ "$status" != 0 ] || status=1
fi
exit "$status"
