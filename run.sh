#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tarvik BootP Tool.
#   ./run.sh         the tool on this machine's own network
#   ./run.sh --lab   the tool inside a private network with three simulated
#                    units asking for addresses: the whole job can be tried
#                    without hardware and without touching the real network
#                    (needs root, asked for through sudo)
# The tool listens on UDP port 67, which only privileged programs may bind on
# Linux; the build gets the one capability it needs for that, so the tool
# itself runs as the ordinary user.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

case "${1:-}" in
    "" | --lab) ;;
    *) echo "usage: $0 [--lab]" >&2; exit 2 ;;
esac

install_missing_packages "${BOOTP_PACKAGES[@]}" "${BOOTP_RUN_PACKAGES[@]}"
build_tree build -DBOOTP_BUILD_TESTS=OFF
program=build/ui/TarvikBootP
# Linking drops file capabilities, so they are set again after every build:
# for the window, and for the command-line program beside it.
for built in "$program" build/cli/tarvik-bootp; do
    if ! as_root setcap cap_net_bind_service=+ep "$built"; then
        echo "run.sh: could not let $built bind port 67; it cannot listen unless it runs as root." >&2
    fi
done
if [ "${1:-}" != --lab ]; then
    exec "$program"
fi

echo "The lab: click Listen; three units (02-4B-7E-00-00-01 to -03) ask every second." >&2
echo "Each address you send is printed here as the unit receives it." >&2
# The window still shows on this desktop: the display's socket is a file,
# which a private network does not hide. Only what is set is passed on.
display=(XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}")
for variable in DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR XDG_SESSION_TYPE QT_QPA_PLATFORM; do
    if [ -n "${!variable:-}" ]; then display+=("$variable=${!variable}"); fi
done
as_root env "${display[@]}" \
    lab/netlab.sh run -- sh -c '
        ip netns exec "$LAB_UNITS_NS" build/lab/unitsim --units 3 --interval 1000 --count 600 --timeout 600000 &
        build/ui/TarvikBootP
        kill $! 2>/dev/null || true'
