#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, as CTest's emulator:
#   wine-run.sh WINEPREFIX QT_FOLDER PROGRAM [ARGS...]
# finding Qt's and the compiler's DLLs in their folders on Linux (drive Z: is
# the Linux root), on Qt's offscreen platform with the fonts the Linux tests
# have, in a private network namespace: one of its own, or inside the lab
# (lab/netlab.sh) the lab's. windows.sh prepares the prefix first, and
# around a whole test run keeps one wineserver up for it:
#   wine-run.sh WINEPREFIX QT_FOLDER --prepare | --start | --stop
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
qt=$2
shift 2
# Nothing a test runs may reach the network: a test that stops waiting for
# its stand-in ping, or loses it, would otherwise ping a real address with
# Windows' ping. The wineserver, which makes the programs' sockets, and the
# services it starts inherit the namespace of the program that started it,
# so every Wine program here starts in one. The lab's tests need the lab's
# network: they stay in it, in a prefix that only they use, so its
# wineserver starts there too.
if [ -n "${LAB_TOOL_NS:-}" ] && [ "$(ip netns identify 2>/dev/null)" = "$LAB_TOOL_NS" ]; then
    private_network=()
elif [ "$(id -u)" = 0 ]; then
    private_network=(unshare --net)
else
    private_network=(unshare --map-root-user --net)
fi
wine=("${private_network[@]}" /usr/lib/wine/wine64)

windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

# set_windows_environment NAME=VALUE...: sets variables in the prefix's own
# environment, which every program in it starts with. Wine passes no variable
# whose name begins with QT_ from Linux to the programs it runs
# (QT_X=1 wine cmd /c echo %QT_X% prints %QT_X%), so Qt's go there.
set_windows_environment() {
    local setting
    for setting in "$@"; do
        "${wine[@]}" reg add 'HKCU\Environment' /v "${setting%%=*}" /d "${setting#*=}" /f >/dev/null 2>&1
    done
    /usr/lib/wine/wineserver -w
}

if [ "${1:-}" = --prepare ]; then
    # A server kept by a run that was killed would never let the settings
    # below be written out.
    /usr/lib/wine/wineserver --kill 2>/dev/null || true
    [ -f "$WINEPREFIX/system.reg" ] || "${wine[@]}" wineboot --init 2>/dev/null
    # Outside Linux the offscreen platform reads its fonts from one folder,
    # Qt's own by default, which holds none: every glyph is then a box a full
    # em wide, and windows come out far too wide. The Linux tests get DejaVu
    # Sans through fontconfig; these get the same. Without fontconfig's
    # aliases a family missing by name falls back to the first there is, so
    # the folder holds DejaVu Sans and its monospaced sibling alone.
    mkdir -p "$WINEPREFIX/fonts"
    ln -sf /usr/share/fonts/truetype/dejavu/DejaVuSans{,-Bold,Mono,Mono-Bold}.ttf "$WINEPREFIX/fonts/"
    set_windows_environment QT_QPA_PLATFORM=offscreen "QT_QPA_FONTDIR=$(windows_path "$WINEPREFIX/fonts")"
    exit
fi

# Left to itself, each program started when no wineserver runs starts one,
# with the services Wine runs beside every program (the desktop's process,
# the device and plug-and-play services), and ends them a few seconds after
# it ends; one that comes while they stop waits for that, then starts them
# again. A test binary that lists its tests in 0.4 s then took 1 to 3.6 s
# here, and at build time, under load, overran the 5 s that test discovery
# allows. So a whole build and test run keeps one server, with its services
# booted, from the first program to the last; its network is a private one
# of its own, as every program's here.
if [ "${1:-}" = --start ]; then
    "${private_network[@]}" sh -c '/usr/lib/wine/wineserver --persistent && /usr/lib/wine/wine64 wineboot'
    exit
fi
if [ "${1:-}" = --stop ]; then
    /usr/lib/wine/wineserver --kill
    exit
fi

gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
threads_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$gcc_runtime");$(windows_path "$threads_runtime")"
export WINEPATH
exec "${wine[@]}" "$@"
