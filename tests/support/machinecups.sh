#!/usr/bin/env bash
# The machine's own CUPS scheduler, running with a default printer of its
# own, as on an office PC, for showing that the printing tests leave it as
# they found it. It is a stand-in: in a private mount namespace, the system's
# folders (/etc/cups, the spool, cache and logs) are replaced by temporary
# copies and /run by an empty one, so the real machine's are never touched.
#
#   machinecups.sh run -- COMMAND [ARG...]
#
# Starts /usr/sbin/cupsd with the system configuration, adds a queue Office
# (to /dev/null) and makes it the default, runs COMMAND, and fails when the
# default printer or the queues' configuration changed. Exits with
# COMMAND's status otherwise. A stand-in that cannot be made is a failure as
# root; without root the test is skipped (77), unless
# BOOTP_PRINTER_REQUIRED=1.
set -euo pipefail
source "$(dirname "$(realpath "$0")")/../../scripts/checks.sh" machinecups
check_run_usage "$@"
shift 2

cannot_stand_in() { cannot_set_up "no stand-in for the machine's scheduler: $1" BOOTP_PRINTER_REQUIRED; }

# Those that the packages install; /run/cups is made by the scheduler.
folders=(/etc/cups /var/spool/cups /var/cache/cups /var/log/cups)

if [ "${MACHINECUPS_INSIDE:-}" != 1 ]; then
    [ "$(id -u)" = 0 ] || cannot_stand_in "only root can replace the system's folders"
    for folder in "${folders[@]}"; do
        [ -d "$folder" ] || cannot_stand_in "$folder is missing; Debian: cups"
    done
    unshare --mount true 2>/dev/null || cannot_stand_in "no private mount namespace"
    exec env MACHINECUPS_INSIDE=1 unshare --mount --propagation private "$0" run -- "$@"
fi

# Inside the private mount namespace from here on.
scheduler=
stop_scheduler() { end_process "$scheduler"; }
make_work_folder stop_scheduler
copies=$work
# The system's configuration without its queues, and empty run-time folders.
for folder in "${folders[@]}"; do
    mkdir -p "$copies$folder"
    [ "$folder" != /etc/cups ] || cp -a /etc/cups/. "$copies$folder"
    mount --bind "$copies$folder" "$folder"
done
mount -t tmpfs machinecups /run
mkdir /run/cups
rm -rf /etc/cups/printers.conf* /etc/cups/classes.conf* /etc/cups/ppd/*
# Changes reach printers.conf at once, not half a minute later.
echo "DirtyCleanInterval 0" >>/etc/cups/cupsd.conf

# Every CUPS command here, and COMMAND, goes to the stand-in's socket alone:
# a client that finds no scheduler there would try others.
export CUPS_SERVER=/run/cups/cups.sock
unset LPDEST PRINTER
/usr/sbin/cupsd -f &
scheduler=$!
for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -qx 'scheduler is running' && break
    sleep 0.1
done
lpstat -r 2>/dev/null | grep -qx 'scheduler is running' || cannot_stand_in "cupsd did not start"
lpadmin -p Office -E -v file:/dev/null 2>/dev/null && lpadmin -d Office || cannot_stand_in "lpadmin failed"
for _ in $(seq 100); do
    grep -q '^<DefaultPrinter Office>' /etc/cups/printers.conf 2>/dev/null && break
    sleep 0.1
done

state() { lpstat -d -v; md5sum /etc/cups/printers.conf; }
before=$(state)
status=0
"$@" || status=$?
after=$(state)
echo "machinecups: before: $before" >&2
if [ "$after" != "$before" ]; then
    echo "machinecups: the machine's printers changed; after: $after" >&2
    [ "$status" != 0 ] || status=1
fi
exit "$status"
