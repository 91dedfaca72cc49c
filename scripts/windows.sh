#!/usr/bin/env bash
# The Windows program, made on Linux: builds Qt for Windows once (kept in
# /var/cache/tarvikbootp, see windows-qt.sh), cross-builds the program and its
# tests with MinGW-w64 in build-windows/, runs the tests under Wine through
# ctest, and makes what a Windows user installs: the installer
# TarvikBootP-<version>-setup.exe and a zip of the same files.
#   scripts/windows.sh            all of it
#   scripts/windows.sh --no-tests the build and the deliverables only
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
source scripts/windows-qt.sh
source scripts/windows-deliver.sh

install_missing_packages "${BOOTP_PACKAGES[@]}" "${BOOTP_WINDOWS_PACKAGES[@]}"
started=$SECONDS
build_windows_qt
qt=$(qt_windows_prefix)
echo "Qt for Windows: $qt ($((SECONDS - started)) s)"

build=$PWD/build-windows
# Tests run in a Wine prefix of the build's own; ctest finds the tests by
# running the binaries, so the prefix is made before they are built.
wineprefix=$build/wine
emulator=("$PWD/scripts/wine-run.sh" "$wineprefix" "$qt")
mkdir -p "$build"
"${emulator[@]}" --prepare
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(IFS=';'; echo "${emulator[*]}")" \
    -DCMAKE_INSTALL_BINDIR=. -DBOOTP_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

if [ "${1:-}" != --no-tests ]; then
    ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)"
fi
make_windows_deliverables "$build" "$qt"
