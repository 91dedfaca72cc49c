#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, as CTest's emulator:
#   wine-run.sh WINEPREFIX QT_FOLDER PROGRAM [ARGS...]
# on Qt's offscreen platform, finding Qt's and the compiler's DLLs and Qt's
# plugins in their folders on Linux (drive Z: is the Linux root). The prefix
# is made on first use.
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" QT_QPA_PLATFORM=offscreen
qt=$2
shift 2

windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
threads_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$gcc_runtime");$(windows_path "$threads_runtime")"
QT_PLUGIN_PATH=$(windows_path "$qt/plugins")
export WINEPATH QT_PLUGIN_PATH
exec /usr/lib/wine/wine64 "$@"
