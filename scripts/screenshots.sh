#!/usr/bin/env bash
# Pictures of the tool for review (not a test): the real program on a virtual
# X display inside the lab's private network, with three simulated units.
# Writes main-window.png (units listed), address-dialog.png, assigned.png
# (a unit that took its address) and about-box.png.
#   scripts/screenshots.sh [OUTPUT_FOLDER]     (root; default: screenshots/)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

# Runs on the tool side of the lab, on the virtual display.
session() {
    local output=$1 tool window
    ip netns exec "$LAB_UNITS_NS" build/lab/unitsim --units 3 --interval 300 --count 200 --timeout 60000 \
        >"$output/unitsim.txt" &
    QT_QPA_PLATFORM=xcb build/ui/TarvikBootP &
    tool=$!
    # Waits at most ten seconds for a window with this title.
    find_window() { timeout 10 xdotool search --sync --name "$1" | head -1; }
    shot() { sleep "${3:-0.5}"; import -window "$(find_window "$1")" "$output/$2"; }
    window=$(find_window '^Tarvik BootP Tool$')

    xdotool windowfocus --sync "$window" key alt+l
    shot '^Tarvik BootP Tool$' main-window.png 2
    # The top row, as laid out by the default fonts of a bare X server.
    xdotool mousemove --window "$window" 70 56 click --repeat 2 --delay 80 1
    shot '^Enter IP Information$' address-dialog-empty.png
    xdotool key Tab Tab && xdotool type 192.168.1.50
    xdotool key Tab && xdotool type 255.255.255.0
    xdotool key Tab && xdotool type 192.168.1.1
    shot '^Enter IP Information$' address-dialog.png
    xdotool key Tab Return
    shot '^Tarvik BootP Tool$' assigned.png 1
    # With no window manager, nothing gives the focus back to the window.
    xdotool windowfocus --sync "$window" key alt+h
    sleep 0.3
    xdotool key a
    shot '^About TarvikBootP Tool$' about-box.png
    xdotool key Escape
    kill "$tool"
}

if [ "${1:-}" = --session ]; then
    session "$2"
    exit
fi
output=$(realpath -m "${1:-screenshots}")
install_missing_packages "${BOOTP_PACKAGES[@]}" xvfb xauth xdotool imagemagick
build_tree build -DBOOTP_BUILD_TESTS=OFF
mkdir -p "$output"
xvfb-run -a -s "-screen 0 1024x768x24" lab/netlab.sh run -- "$0" --session "$output"
ls "$output"
