#!/usr/bin/env bash
# The Windows installer as a user meets it, under Wine in a prefix of its own
# (CI runs it after windows.sh): installs TarvikBootP-<version>-setup.exe
# silently, checks the program, its uninstaller, the Start-menu entry and the
# entry in Windows' installed programs, starts the installed program without
# a display and sees it stay up, opens its help on a virtual display and sees
# it read the installed manual, uninstalls silently and checks that nothing of
# it is left. Exits non-zero on the first failure.
set -euo pipefail
source "$(dirname "$(realpath "$0")")/checks.sh" windows-install-test
cd "$(dirname "$checks_script")/.."
source scripts/common.sh
source scripts/windows-qt.sh

wine=/usr/lib/wine/wine64
title='Tarvik BootP Tool'

# Runs on a virtual display: types Help > Contents into the installed program
# and waits for the help window; the files the program opens go to $1.
help_session() {
    strace -f -qq -e trace=openat,open -o "$1" "$wine" "C:\\Program Files\\$title\\TarvikBootP.exe" &
    local tracer=$!
    open_help_contents "$title" 30
    /usr/lib/wine/wineserver -k
    wait "$tracer" 2>/dev/null || true
}
run_display_session "$@"

install_missing_packages "${BOOTP_WINDOWS_PACKAGES[@]}"
setups=(TarvikBootP-*-setup.exe)
if [ ${#setups[@]} != 1 ] || [ ! -f "${setups[0]}" ]; then fail "expected one installer, found: ${setups[*]}"; fi
setup=${setups[0]}

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

# /S installs silently, into Program Files; the uninstaller too.
"$wine" "$setup" /S 2>/dev/null || fail "the installer failed"
/usr/lib/wine/wineserver -w
for file in TarvikBootP.exe tarvik-bootp.exe Vuravevo.html Uninstall.exe platforms/qwindows.dll; do
    [ -f "$folder/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu entry"
"$wine" reg query "$uninstall_key" /v UninstallString 2>/dev/null | grep -q 'Uninstall.exe' \
    || fail "not listed among the installed programs"
step "installed $setup: $(cd "$folder" && find . -type f | wc -l) files, a Start-menu entry, an uninstaller"

# The command-line program, a console program, runs from the installed
# folder with the DLLs installed beside it.
version=$("$wine" "C:\\Program Files\\$title\\tarvik-bootp.exe" --version 2>/dev/null | tr -d '\r') \
    || fail "tarvik-bootp.exe --version failed"
[[ $version == "tarvik-bootp "* ]] || fail "tarvik-bootp.exe --version said: $version"
step "the installed $version answers"

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
qt_environment add set
"$wine" "C:\\Program Files\\$title\\TarvikBootP.exe" >"$work/offscreen.log" 2>&1 &
started=$!
sleep 5
kill -0 "$started" 2>/dev/null || fail "the program ended on the offscreen platform: $(cat "$work/offscreen.log")"
grep -q 'platforms/qoffscreen.dll' "/proc/$started/maps" || fail "the program did not load the offscreen platform"
/usr/lib/wine/wineserver -k
wait "$started" 2>/dev/null || true
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

"$wine" "$folder/Uninstall.exe" /S 2>/dev/null || fail "the uninstaller failed"
# The uninstaller runs from a copy of itself, which ends after it returns.
/usr/lib/wine/wineserver -w
(cd "$programs" && find . | LC_ALL=C sort) | diff "$work/before" - >&2 || fail "left behind in Program Files"
[ ! -e "$shortcut" ] || fail "left behind: the Start-menu entry"
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1; then fail "still listed among the installed programs"; fi
step "uninstalled; nothing of it is left in Program Files, the Start menu or the installed programs"
