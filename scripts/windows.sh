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
# The lab tests run in a prefix of their own, whose wineserver starts inside
# the lab's network (see wine-run.sh), and their simulated units are the
# Linux simulator's.
lab_emulator=("$PWD/scripts/wine-run.sh" "$build/wine-lab" "$qt")
mkdir -p "$build"
"${emulator[@]}" --prepare
"${lab_emulator[@]}" --prepare
# Test discovery runs the test binaries as they are built.
"${emulator[@]}" --start
trap '"${emulator[@]}" --stop' EXIT
cmake -S . -B "$build/linux-units" -DCMAKE_BUILD_TYPE=Release -DBOOTP_BUILD_TESTS=OFF >/dev/null
cmake --build "$build/linux-units" --target unitsim -j "$(nproc)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(IFS=';'; echo "${emulator[*]}")" \
    -DBOOTP_LAB_EMULATOR="$(IFS=';'; echo "${lab_emulator[*]}")" \
    -DBOOTP_LAB_SIMULATOR="$build/linux-units/lab/unitsim" \
    -DCMAKE_INSTALL_BINDIR=. -DBOOTP_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

# Now and then, under load, a test program under Wine prints its passing
# result and then never ends (3 of about 1,400 runs here, each time another
# case of the widget tests; not yet found why, and not seen natively). A
# case that runs out its time is run once more: one that hangs in the test
# itself fails again.
if [ "${1:-}" != --no-tests ]; then
    in_private_network ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)" \
        --repeat after-timeout:2
fi
"${emulator[@]}" --stop
trap - EXIT
make_windows_deliverables "$build" "$qt"
