#!/usr/bin/env bash
# A private network for trying the tool and for its tests: two network
# namespaces joined by a veth pair, a units side and a tool side. Nothing in
# them can reach the machine's own network, so broadcasts stay inside.
#
#   netlab.sh run -- COMMAND [ARG...]
#
# Builds the lab, runs COMMAND on the tool side and removes the lab again,
# whatever happens (failure, Ctrl+C, kill). COMMAND sees:
#   LAB_UNITS_NS   the units side's namespace: ip netns exec "$LAB_UNITS_NS" ...
#   LAB_TOOL_NS    the tool side's namespace (the one COMMAND runs in)
#   LAB_TOOL_ADDRESS, LAB_PREFIX_LENGTH   the tool side's address, 10.77.0.2/24
#   LAB_TOOL_INTERFACE   the tool side's end of the veth pair
# Exits with COMMAND's status; with 77 when the lab cannot be made (it needs
# root and iproute2), unless BOOTP_LAB_REQUIRED=1 makes that a failure.
set -euo pipefail

usage() { echo "usage: $0 run -- COMMAND [ARG...]" >&2; exit 2; }
[ "${1:-}" = run ] && [ "${2:-}" = -- ] && [ $# -ge 3 ] || usage
shift 2

tag="tbp$$"
units_ns="${tag}u"
tool_ns="${tag}t"
tool_address=10.77.0.2
prefix_length=24

cannot_make_lab() {
    echo "netlab: cannot create the private network ($1); it needs root and iproute2." >&2
    if [ "${BOOTP_LAB_REQUIRED:-0}" = 1 ]; then exit 1; fi
    echo "netlab: SKIPPED: the lab tests did not run." >&2
    exit 77
}

remove_lab() {
    local ns
    for ns in "$units_ns" "$tool_ns"; do
        if ip netns pids "$ns" >/dev/null 2>&1; then
            # A process left in a namespace would keep it alive after its name is gone.
            ip netns pids "$ns" 2>/dev/null | xargs -r kill -KILL 2>/dev/null || true
            ip netns del "$ns" 2>/dev/null || true
        fi
    done
}

[ "$(id -u)" = 0 ] || cannot_make_lab "not running as root"
command -v ip >/dev/null || cannot_make_lab "no ip command"

trap remove_lab EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

ip netns add "$units_ns" 2>/dev/null || cannot_make_lab "ip netns add failed"
ip netns add "$tool_ns"
ip link add vethU netns "$units_ns" type veth peer name vethT netns "$tool_ns"
# The units side has no address, as a unit waiting for BOOTP has none.
ip -n "$units_ns" link set vethU address 02:4b:7e:00:00:01
ip -n "$tool_ns" addr add "$tool_address/$prefix_length" dev vethT
for side in "$units_ns vethU" "$tool_ns vethT"; do
    read -r ns dev <<<"$side"
    ip -n "$ns" link set lo up
    ip -n "$ns" link set "$dev" up
    # A limited broadcast (255.255.255.255) needs a route to leave by.
    ip -n "$ns" route add default dev "$dev"
done

export LAB_UNITS_NS="$units_ns" LAB_TOOL_NS="$tool_ns"
export LAB_TOOL_ADDRESS="$tool_address" LAB_PREFIX_LENGTH="$prefix_length" LAB_TOOL_INTERFACE=vethT
# In the background so that a signal ends the wait at once (bash runs traps
# only between commands); the lab's removal then ends COMMAND too.
ip netns exec "$tool_ns" "$@" <&0 &
status=0
wait $! || status=$?
exit "$status"
