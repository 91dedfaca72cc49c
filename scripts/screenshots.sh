#!/usr/bin/env bash
# Pictures of the tool for review (not a test): the real program on a virtual
# X display inside the lab's private network, with three simulated units.
# Writes main-window.png (units listed), refusal-notice.png (Enter pressed at
# once, on 0.0.0.0), address-dialog.png, paste-notice.png (text that is no
# address pasted into the first box), assigned.png
# (a unit that took its address), ping-output.png (the unit answering ping,
# shown as to an operator who started the tool without a terminal),
# printout.png (the first printed page, from a PDF printer),
# widest-addresses.png (a unit given 192.168.100.200, 255.255.255.255 and
# 192.168.100.254) and about-box.png.
#   scripts/screenshots.sh [OUTPUT_FOLDER]     (root; default: screenshots/)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

# Runs on the tool side of the lab, on the virtual display.
session() {
    local output=$1 tool window
    ip netns exec "$LAB_UNITS_NS" build/lab/unitsim --units 3 --interval 300 --count 200 --timeout 60000 \
        >"$output/unitsim.txt" &
    QT_QPA_PLATFORM=xcb build/ui/TarvikBootP >"$output/tool-output.txt" &
    tool=$!
    # Waits at most ten seconds for a window with this title.
    find_window() { timeout 10 xdotool search --sync --name "$1" | head -1; }
    shot() { sleep "${3:-0.5}"; import -window "$(find_window "$1")" "$output/$2"; }
    window=$(find_window '^Tarvik BootP Tool$')
    # On the clipboard well before it is pasted.
    printf %s 1.2.3.4.5 | xclip -quiet -selection clipboard >/dev/null 2>&1 &
    clipboard=$!
    # Every window of the tool but the main one, cut from the screen
    # together: a box over the dialog, or a balloon, a window of its own,
    # beside it.
    shot_over_main() {
        local id x0=100000 y0=100000 x1=0 y1=0 X Y WIDTH HEIGHT
        sleep 0.5
        for id in $(xdotool search --onlyvisible --pid "$tool"); do
            [ "$id" != "$window" ] || continue
            eval "$(xdotool getwindowgeometry --shell "$id")"
            x0=$((X < x0 ? X : x0)) y0=$((Y < y0 ? Y : y0))
            x1=$((X + WIDTH > x1 ? X + WIDTH : x1)) y1=$((Y + HEIGHT > y1 ? Y + HEIGHT : y1))
        done
        import -window root -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$output/$1"
    }

    xdotool windowfocus --sync "$window" key alt+l
    shot '^Tarvik BootP Tool$' main-window.png 2
    # The top row, as laid out by the default fonts of a bare X server.
    xdotool mousemove --window "$window" 70 56 click --repeat 2 --delay 80 1
    dialog=$(find_window '^Enter IP Information$')
    shot '^Enter IP Information$' address-dialog-empty.png
    # Enter at once sends 0.0.0.0, which is refused; the first box then has
    # the focus.
    xdotool key Return
    shot_over_main refusal-notice.png
    xdotool key Return
    xdotool windowfocus --sync "$dialog"
    xdotool type 192.168.1.50
    xdotool key Tab && xdotool type 255.255.255.0
    xdotool key Tab && xdotool type 192.168.1.1
    shot '^Enter IP Information$' address-dialog.png
    # Back in the first box, a paste of what is no address.
    xdotool key shift+Tab shift+Tab ctrl+v
    shot_over_main paste-notice.png
    kill "$clipboard" 2>/dev/null || true
    xdotool key Return
    shot '^Tarvik BootP Tool$' assigned.png 1
    # The unit now answers at its new address.
    ip -n "$LAB_UNITS_NS" addr add 192.168.1.50/24 dev vethU
    xdotool windowfocus --sync "$window" key alt+s
    shot '^ping -c 4 192.168.1.50$' ping-output.png
    xdotool key Return
    # The queue has written the job's PDF once none is left waiting.
    xdotool windowfocus --sync "$window" key alt+p
    for _ in $(seq 100); do
        sleep 0.2
        [ -s "$BOOTP_PAGE_LOG" ] && [ -z "$(lpstat -o)" ] && break
    done
    pdftoppm -png -r 60 -singlefile "$BOOTP_PRINTED_PDF" "$output/printout"
    # The next unit given the widest addresses, through Actions > Set IP
    # Address: every column shows them whole.
    xdotool windowfocus --sync "$window" key Down
    xdotool key alt && xdotool key c s
    find_window '^Enter IP Information$' >/dev/null
    xdotool key Tab Tab && xdotool type 192.168.100.200
    xdotool key Tab && xdotool type 255.255.255.255
    xdotool key Tab && xdotool type 192.168.100.254
    xdotool key Tab Return
    shot '^Tarvik BootP Tool$' widest-addresses.png 1
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
install_missing_packages "${BOOTP_PACKAGES[@]}" "${BOOTP_RUN_PACKAGES[@]}" "${BOOTP_TEST_PACKAGES[@]}" \
    xvfb xauth xdotool imagemagick xclip
build_tree build -DBOOTP_BUILD_TESTS=OFF
mkdir -p "$output"
tests/support/pdfprinter.sh run -- \
    xvfb-run -a -s "-screen 0 1024x768x24" lab/netlab.sh run -- "$0" --session "$output"
ls "$output"
