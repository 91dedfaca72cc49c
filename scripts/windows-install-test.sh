#!/usr/bin/env bash
# The Windows installer as a user meets it, under Wine in a prefix of its own
# and a network namespace of its own (CI runs it after windows.sh), wineboot,
# the wineserver and every program included. Makes version N-1 of the
# installer from the same files, signed with a certificate made on the spot,
# and checks its signatures; installs N-1, then TarvikBootP-<version>-setup.exe
# (N) over it, and sees only N's files left; checks the program, its
# uninstaller, the Start-menu entry, the entry in Windows' installed programs
# and the firewall rules; starts the installed program without a display and
# sees it stay up, opens its help on a virtual display and sees it read the
# installed manual; sees a silent downgrade refused; uninstalls and checks
# that nothing of it is left; then installs N-1 into a folder of its own and
# upgrades it there, and sees install and uninstall refused while the
# program runs. Exits non-zero on the first failure.
set -euo pipefail
source "$(dirname "$(realpath "$0")")/checks.sh" windows-install-test
cd "$(dirname "$checks_script")/.."
source scripts/common.sh
source scripts/windows-qt.sh
source scripts/windows-deliver.sh

wine=/usr/lib/wine/wine64
title='Tarvik BootP Tool'

# Runs on a virtual display: types Help > Contents into the installed program
# and waits for the help window; the files the program opens go to $1.
help_session() {
    strace -f -qq -e trace=openat,open -o "$1" "$wine" "C:\\Program Files\\$title\\TarvikBootP.exe" &
    local tracer=$!
    open_help_contents "$title" 90
    /usr/lib/wine/wineserver -k
    wait "$tracer" 2>/dev/null || true
}
run_display_session "$@"

install_missing_packages "${BOOTP_WINDOWS_PACKAGES[@]}"
setups=(TarvikBootP-*-setup.exe)
if [ ${#setups[@]} != 1 ] || [ ! -f "${setups[0]}" ]; then fail "expected one installer, found: ${setups[*]}"; fi
setup=$PWD/${setups[0]}
version=${setup%-setup.exe}
version=${version##*-}
stage=$PWD/build-windows/deliver/TarvikBootP-$version
[ -d "$stage" ] || fail "no $stage: run scripts/windows.sh first"

# Everything from here on runs in a network namespace of its own with
# loopback alone: the installer, netsh's stand-in, the program, and the
# wineserver, which makes every socket of the programs it serves.
if [ "${BOOTP_INSTALL_TEST_NETWORK:-}" != private ]; then
    export BOOTP_INSTALL_TEST_NETWORK=private
    in_private_network "$checks_script" "$@"
    exit
fi
tests/support/networkcheck.sh 2>/dev/null || fail "not in a network of its own"

end_wine() { /usr/lib/wine/wineserver -k 2>/dev/null; }
make_work_folder end_wine
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot --init 2>/dev/null
/usr/lib/wine/wineserver -w
drive=$WINEPREFIX/drive_c
programs="$drive/Program Files"
folder="$programs/$title"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/$title.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvikBootP'
(cd "$programs" && find . | LC_ALL=C sort) >"$work/before"
step "in a network of its own; a fresh Wine prefix"

# Wine's netsh knows no advfirewall. The installer runs System32's netsh.exe
# by its full path; there, a stand-in records each command line it is given
# (in C:\netsh.log) and succeeds. Wine prefers its own netsh unless told to
# load the file.
x86_64-w64-mingw32-gcc-posix -O2 -s -o "$drive/windows/system32/netsh.exe" -x c - <<'EOF'
#include <windows.h>
#include <stdio.h>
int main(void)
{
    static char line[32768];
    FILE *log = _wfopen(L"C:\\netsh.log", L"a");
    if (!log)
        return 1;
    WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, NULL, NULL);
    fprintf(log, "%s\n", line);
    fclose(log);
    return 0;
}
EOF
"$wine" reg add 'HKCU\Software\Wine\DllOverrides' /v netsh.exe /d native /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
touch "$drive/netsh.log"

# firewall_rules: the inbound rules that the recorded netsh commands leave,
# "count name|program" a line: an add adds one, a delete by name removes
# every rule of that name, and with program= only that program's.
firewall_rules() {
    tr -d '\r' <"$drive/netsh.log" | awk '
        { name = ""; program = ""
          if (match($0, /name="[^"]*"/)) name = substr($0, RSTART + 6, RLENGTH - 7)
          if (match($0, /program="[^"]*"/)) program = substr($0, RSTART + 9, RLENGTH - 10) }
        / firewall add rule / { rules[name "|" program]++ }
        / firewall delete rule / { for (rule in rules) { split(rule, part, "|")
              if (part[1] == name && (program == "" || part[2] == program)) delete rules[rule] } }
        END { for (rule in rules) print rules[rule] " " rule }' | LC_ALL=C sort
}
# expect_firewall_rules FOLDER: one rule for each program of FOLDER (a
# Windows path), inbound UDP port 67 on every profile.
expect_firewall_rules() {
    printf '1 %s|%s\n' "$title" "$1\\TarvikBootP.exe" "$title (command line)" "$1\\tarvik-bootp.exe" |
        LC_ALL=C sort | diff - <(firewall_rules) >&2 || fail "not the firewall rules of $1"
    if tr -d '\r' <"$drive/netsh.log" | grep ' firewall add rule ' |
        grep -v ' dir=in action=allow program="[^"]*" protocol=UDP localport=67 profile=any$' >&2; then
        fail "a firewall rule other than inbound UDP port 67 on every profile"
    fi
}

# installed_files FOLDER STAGE: FOLDER holds exactly STAGE's files, the same
# ones, and its uninstaller.
installed_files() {
    [ -f "$1/Uninstall.exe" ] || fail "no uninstaller in $1"
    diff -r -q -x Uninstall.exe "$2" "$1" >&2 || fail "$1 does not hold exactly $(basename "$2")'s files"
}

# state: what an installer may change, with sizes and times: Program Files,
# C:\Custom, the Start menu, the uninstall entry and the firewall commands.
state() {
    (cd "$drive" && find "Program Files" Custom "ProgramData/Microsoft/Windows/Start Menu" \
        -printf '%p %s %T@\n' 2>/dev/null | LC_ALL=C sort) || true
    "$wine" reg query "$uninstall_key" /s 2>/dev/null || true
    cat "$drive/netsh.log"
}

# run_setup EXPECTED SETUP [ARG]: runs an installer or uninstaller silently
# (ARG, /D= or _?=, comes last, as NSIS wants); it must end with EXPECTED.
# An installer waits for all it runs; an uninstaller started without _?=
# runs from a copy of itself, which ends after it returns: uninstall waits
# for that copy.
run_setup() {
    local expected=$1 status=0
    "$wine" "$2" /S ${3:+"$3"} 2>/dev/null || status=$?
    [ "$status" = "$expected" ] || fail "$2 ${3:-} ended with $status, not $expected"
}
uninstall() {
    run_setup 0 "$1"
    /usr/lib/wine/wineserver -w
}

# Version N-1: the same files with one more that N no longer ships (a Qt
# image-format plugin in a folder of its own), an older version number, and
# signed with a certificate made here (the programs, the uninstaller and the
# installer), as a certificate given to windows.sh signs them.
old_version=$(IFS=.; read -ra part <<<"$version"
    for ((i = ${#part[@]} - 1; i >= 0; i--)); do if ((part[i] > 0)); then ((part[i]--)); break; fi; done
    echo "${part[*]}")
[ "$old_version" != "$version" ] || fail "no version before $version"
old_stage=$work/old/TarvikBootP-$old_version
old_setup=$work/TarvikBootP-$old_version-setup.exe
mkdir -p "$work/old" "$work/certificate"
cp -r "$stage" "$old_stage"
mkdir "$old_stage/imageformats"
cp "$stage/styles/qwindowsvistastyle.dll" "$old_stage/imageformats/qico.dll"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=$title test signing" \
    -addext extendedKeyUsage=codeSigning -keyout "$work/certificate/key.pem" \
    -out "$work/certificate/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/certificate/key.pem" -in "$work/certificate/cert.pem" \
    -passout pass:test -out "$work/certificate/cert.p12"
signed() {
    local file
    for file in "$@"; do
        osslsigncode verify -CAfile "$work/certificate/cert.pem" -in "$file" >"$work/verify.log" 2>&1 ||
            fail "$file: not signed by the certificate: $(tail -n 3 "$work/verify.log")"
    done
}
(export BOOTP_SIGN_PKCS12=$work/certificate/cert.p12 BOOTP_SIGN_PASSWORD=test
    sign_windows_programs "$old_stage"
    make_windows_installer "$old_stage" "$old_version" "$old_setup" "$PWD/build-windows/res/icon/TarvikBootP.ico")
signed "$old_setup"
step "made version $old_version's installer, signed"

# N-1, silently, into Program Files.
run_setup 0 "$old_setup"
installed_files "$folder" "$old_stage"
signed "$folder/TarvikBootP.exe" "$folder/tarvik-bootp.exe" "$folder/Uninstall.exe"
expect_firewall_rules "C:\\Program Files\\$title"
step "installed $old_version: $(cd "$folder" && find . -type f | wc -l) files; its programs and uninstaller signed"

# N over it: N-1's uninstaller runs first, so N's files alone are left.
run_setup 0 "$setup"
installed_files "$folder" "$stage"
[ -f "$shortcut" ] || fail "no Start-menu entry"
"$wine" reg query "$uninstall_key" /v UninstallString 2>/dev/null | grep -q 'Uninstall.exe' \
    || fail "not listed among the installed programs"
"$wine" reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | grep -q "REG_SZ *$version" \
    || fail "the installed programs list another version than $version"
expect_firewall_rules "C:\\Program Files\\$title"
for licence in LGPL-3 GPL-3 Qt GCC-runtime MinGW-w64; do
    [ -s "$folder/Licenses/$licence.txt" ] || fail "no licence text Licenses\\$licence.txt"
done
grep -q "qt6-base=$(qt_debian_version)" "$folder/Licenses/README.txt" ||
    fail "Licenses\\README.txt does not name the source of the Qt that ships"
# The manifest Windows reads first: the user's own rights, never an
# administrator's, and Qt's per-monitor scaling.
grep -q 'level="asInvoker"' "$folder/TarvikBootP.exe" && grep -q 'PerMonitorV2' "$folder/TarvikBootP.exe" ||
    fail "TarvikBootP.exe carries no manifest asking for the user's own rights and per-monitor scaling"
step "installed $(basename "$setup") over $old_version: exactly its $(cd "$folder" && find . -type f | wc -l) files," \
    "a Start-menu entry, version $version among the installed programs, one firewall rule per program, the licences," \
    "the program's manifest"

# The command-line program, a console program, runs from the installed
# folder with the DLLs installed beside it.
answer=$("$wine" "C:\\Program Files\\$title\\tarvik-bootp.exe" --version 2>/dev/null | tr -d '\r') \
    || fail "tarvik-bootp.exe --version failed"
[[ $answer == "tarvik-bootp "* ]] || fail "tarvik-bootp.exe --version said: $answer"
step "the installed $answer answers"

# Started without any display, the program stays up until it is ended. The
# installer ships only the Windows platform: the offscreen one comes from the
# Qt the program was built with, for this check alone. Wine passes no QT_
# variable from Linux (see wine-run.sh), so they go into the prefix's own
# environment, and out again afterwards.
qt=$(qt_windows_prefix)
qt_environment() {
    "$wine" reg "$1" 'HKCU\Environment' /v QT_QPA_PLATFORM ${2:+/d offscreen} /f >/dev/null 2>&1
    "$wine" reg "$1" 'HKCU\Environment' /v QT_PLUGIN_PATH ${2:+/d "Z:${qt//\//\\}\\plugins"} /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
}
# start_offscreen PROGRAM: starts the installed program, on the offscreen
# platform, as $started, and sees it up after 5 s.
start_offscreen() {
    "$wine" "$1" >"$work/offscreen.log" 2>&1 &
    started=$!
    sleep 5
    kill -0 "$started" 2>/dev/null || fail "the program ended on the offscreen platform: $(cat "$work/offscreen.log")"
    grep -q 'platforms/qoffscreen.dll' "/proc/$started/maps" || fail "the program did not load the offscreen platform"
}
stop_offscreen() {
    /usr/lib/wine/wineserver -k
    wait "$started" 2>/dev/null || true
}
qt_environment add set
start_offscreen "C:\\Program Files\\$title\\TarvikBootP.exe"
stop_offscreen
qt_environment delete
step "stayed up 5 s on the offscreen platform"

# Help > Contents, typed on a virtual display into the program on its own
# Windows platform; the program opens the installed manual, as the system
# calls Wine makes for it show.
on_virtual_display help_session "$work/opened" \
    || fail "no help window on the virtual display"
grep -E "open(at)?\(.*$title/Vuravevo.html\", O_RDONLY.*\) = [0-9]+$" "$work/opened" >/dev/null \
    || fail "the program did not open its installed manual"
step "opened its help: C:\\Program Files\\$title\\Vuravevo.html"

# An older version over a newer one is asked about; silent, it is refused.
state >"$work/state"
run_setup 2 "$old_setup"
state | diff "$work/state" - >&2 || fail "the refused downgrade changed something"
step "a silent downgrade to $old_version ended with exit code 2 and changed nothing"

uninstall "C:\\Program Files\\$title\\Uninstall.exe"
(cd "$programs" && find . | LC_ALL=C sort) | diff "$work/before" - >&2 || fail "left behind in Program Files"
[ ! -e "$shortcut" ] || fail "left behind: the Start-menu entry"
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1; then fail "still listed among the installed programs"; fi
[ -z "$(firewall_rules)" ] || fail "left behind: the firewall rules $(firewall_rules)"
step "uninstalled; nothing of it is left in Program Files, the Start menu, the installed programs or the firewall"

# Into a folder of the operator's choice, and upgraded there.
run_setup 0 "$old_setup" '/D=C:\Custom'
installed_files "$drive/Custom" "$old_stage"
run_setup 0 "$setup"
installed_files "$drive/Custom" "$stage"
(cd "$programs" && find . | LC_ALL=C sort) | diff "$work/before" - >&2 || fail "the upgrade went to Program Files"
expect_firewall_rules 'C:\Custom'
step "installed $old_version into C:\\Custom; $version, given no folder, upgraded it there"

# While the program runs from the folder, neither the installer nor the
# uninstaller changes anything (the uninstaller run where it is, _?=, so that
# its own exit code is seen).
qt_environment add set
start_offscreen 'C:\Custom\TarvikBootP.exe'
state >"$work/state"
run_setup 3 "$setup"
state | diff "$work/state" - >&2 || fail "the installer changed something while the program ran"
run_setup 3 'C:\Custom\Uninstall.exe' '_?=C:\Custom'
state | diff "$work/state" - >&2 || fail "the uninstaller changed something while the program ran"
stop_offscreen
qt_environment delete
step "while the program ran: install and uninstall ended with exit code 3 and changed nothing"

uninstall 'C:\Custom\Uninstall.exe'
[ ! -e "$drive/Custom" ] || fail "left behind: C:\\Custom"
[ ! -e "$shortcut" ] || fail "left behind: the Start-menu entry"
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1; then fail "still listed among the installed programs"; fi
[ -z "$(firewall_rules)" ] || fail "left behind: the firewall rules $(firewall_rules)"
step "uninstalled from C:\\Custom; nothing of it is left. The firewall commands, as run:
$(tr -d '\r' <"$drive/netsh.log" | sed 's/^"[^"]*" /  netsh /')"
