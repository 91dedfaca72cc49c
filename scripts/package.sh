#!/usr/bin/env bash
# Makes the Debian package tarvikbootp_<version>_<architecture>.deb in this
# folder: the program, its help, the desktop entry, the icons, the AppStream
# metadata and the manual page, built in build/. Install it with
#   sudo apt-get install ./tarvikbootp_*.deb
# and the installed program gets the capability to bind port 67.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

install_missing_packages "${BOOTP_PACKAGES[@]}" "${BOOTP_PACKAGE_PACKAGES[@]}"
build_tree build -DBOOTP_BUILD_TESTS=OFF
rm -f tarvikbootp_*.deb
cpack --config build/CPackConfig.cmake -B build/package-output >/dev/null
mv build/package-output/tarvikbootp_*.deb .
ls tarvikbootp_*.deb
