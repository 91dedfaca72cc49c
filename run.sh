#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tarvik BootP Tool.
# The tool listens on UDP port 67, which only privileged programs may bind on
# Linux; the build gets the one capability it needs for that, so the tool
# itself runs as the ordinary user.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_missing_packages "${BOOTP_PACKAGES[@]}"
build_tree build -DBOOTP_BUILD_TESTS=OFF
program=build/ui/TarvikBootP
# Linking drops file capabilities, so they are set again after every build.
if ! as_root setcap cap_net_bind_service=+ep "$program"; then
    echo "run.sh: could not let $program bind port 67; Listen will fail unless it runs as root." >&2
fi
exec "$program"
