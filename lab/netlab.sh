#!/usr/bin/env bash
# A private network for trying the tool and for its tests: a tool side on two
# network segments, like a PC with two network cards, and a units side on
# each segment, all in network namespaces joined by veth pairs. Nothing in
# them can reach the machine's own network, so broadcasts stay inside.
#
#   netlab.sh run -- COMMAND [ARG...]
#
# Builds the lab, runs COMMAND on the tool side and removes the lab again,
# whatever happens (failure, Ctrl+C, kill). COMMAND sees:
#   LAB_UNITS_NS   the units side's namespace: ip netns exec "$LAB_UNITS_NS" ...
#   LAB_TOOL_NS    the tool side's namespace (the one COMMAND runs in)
#   LAB_TOOL_ADDRESS, LAB_PREFIX_LENGTH   the tool side's address, 10.77.0.2/24
#   LAB_TOOL_INTERFACE, LAB_UNITS_INTERFACE   the tool side's and the units
#                  side's ends of the veth pair
# and the same for the second segment, 10.78.0.2/24, which the tool side's
# default route does not lead to:
#   LAB_SECOND_UNITS_NS, LAB_SECOND_TOOL_ADDRESS, LAB_SECOND_TOOL_INTERFACE
# and a folder through which it has programs run on a units side for it, and
# a segment unplugged and plugged in again:
#   LAB_UNITS_SPOOL   see serve_units below
# Programs on a units side (a DHCP client) get a resolver configuration of
# their own, never the machine's.
# Exits with COMMAND's status. Without root the lab cannot be made: it then
# exits with 77 (skipped), unless BOOTP_LAB_REQUIRED=1 makes that a failure;
# as root, a lab that cannot be made is a failure.
#
# The lab goes again on any signal that can be caught. A netlab.sh killed
# outright (SIGKILL, as ctest ends a test past its time-out) cannot remove
# its lab: the next one removes it.
set -euo pipefail
source "$(dirname "$(realpath "$0")")/../scripts/checks.sh" netlab
check_run_usage "$@"
shift 2

# Every lab's namespaces are named after its netlab.sh's process id.
tag="tbp$$"
units_ns="${tag}u"
second_units_ns="${tag}v"
tool_ns="${tag}t"
tool_address=10.77.0.2
second_tool_address=10.78.0.2
prefix_length=24

# remove_namespaces NAME...: ends what runs in each and removes it, with its
# resolver configuration. A process left in a namespace would keep it alive
# after its name is gone.
remove_namespaces() {
    local ns
    for ns in "$@"; do
        ip netns pids "$ns" 2>/dev/null | xargs -r kill -KILL 2>/dev/null || true
        ip netns del "$ns" 2>/dev/null || true
        rm -rf "/etc/netns/$ns"
    done
    rmdir /etc/netns 2>/dev/null || true
}

remove_lab() {
    if [ -n "${launcher:-}" ]; then
        kill -KILL -- -"$launcher" 2>/dev/null || true
        wait "$launcher" 2>/dev/null || true
    fi
    remove_namespaces "$units_ns" "$second_units_ns" "$tool_ns"
    [ -z "${spool:-}" ] || rm -rf "$spool"
}

# The namespaces of labs whose netlab.sh has gone, this process id's
# included: its earlier owner has gone too.
remove_leftovers() {
    local ns pid
    for ns in $(ip netns list | awk '$1 ~ /^tbp[0-9]+[tuv]$/ { print $1 }'); do
        pid=${ns//[!0-9]/}
        if [ "$pid" = $$ ] || ! grep -qs netlab.sh "/proc/$pid/cmdline"; then
            remove_namespaces "$ns"
        fi
    done
}

[ "$(id -u)" = 0 ] || cannot_set_up "the private network's namespaces need root" BOOTP_LAB_REQUIRED
command -v ip >/dev/null || fail "no ip command; Debian: iproute2, which ./test.sh installs"

remove_leftovers
trap remove_lab EXIT
for signal in INT TERM HUP QUIT; do
    # shellcheck disable=SC2064  # the signal's number, now
    trap "exit $((128 + $(kill -l "$signal")))" "$signal"
done

ip netns add "$units_ns" || fail "ip netns add failed"
ip netns add "$second_units_ns"
ip netns add "$tool_ns"
ip -n "$tool_ns" link set lo up

# join_segment UNITS_NS UNITS_DEV UNITS_MAC TOOL_DEV TOOL_ADDRESS
join_segment() {
    ip link add "$2" netns "$1" type veth peer name "$4" netns "$tool_ns"
    # The units side has no address, as a unit waiting for BOOTP has none.
    ip -n "$1" link set "$2" address "$3"
    ip -n "$1" link set lo up
    ip -n "$1" link set "$2" up
    # A limited broadcast (255.255.255.255) needs a route to leave by; the
    # default route stays free for a DHCP client to set.
    ip -n "$1" route add 255.255.255.255/32 dev "$2"
    ip -n "$tool_ns" addr add "$5/$prefix_length" dev "$4"
    ip -n "$tool_ns" link set "$4" up
}

# plug_segment first|second: joins the tool side and a units side, anew
# after unplug_segment: the tool side's interface gets a new index, as a
# re-plugged USB adapter does.
plug_segment() {
    case $1 in
        first)
            join_segment "$units_ns" vethU 02:4b:7e:00:00:01 vethT "$tool_address"
            # Only the first segment has the tool side's default route, so a
            # broadcast that is not told its interface leaves by the first
            # segment alone. Through a gateway, as on a PC: Wine cannot list
            # the interfaces with their prefixes (GetAdaptersAddresses fails
            # with ERROR_INVALID_DATA) while a default route has none.
            ip -n "$tool_ns" route add default via 10.77.0.1 dev vethT
            ;;
        second) join_segment "$second_units_ns" vethU2 02:4b:7e:00:00:02 vethT2 "$second_tool_address" ;;
        *) return 2 ;;
    esac
}

# unplug_segment first|second: the veth pair goes, and the routes with it.
unplug_segment() {
    case $1 in
        first) ip -n "$tool_ns" link del vethT ;;
        second) ip -n "$tool_ns" link del vethT2 ;;
        *) return 2 ;;
    esac
}

plug_segment first
plug_segment second
for ns in "$units_ns" "$second_units_ns"; do
    # ip netns exec puts the files of /etc/netns/NS over those of /etc.
    mkdir -p "/etc/netns/$ns"
    : >"/etc/netns/$ns/resolv.conf"
done

# Runs programs on a units side for COMMAND, which may be a Windows program
# under Wine: Wine starts a Linux program for it but can neither wait for it
# nor read its output. COMMAND writes NAME.units, its lines the units side's
# namespace, the program and its arguments (written elsewhere and renamed
# into place, so it is whole); the program's output goes to NAME.out, its
# exit status to NAME.status once it has ended. NAME.stop ends it early.
# NAME.segment, "unplug" or "plug" and a segment (first or second), unplugs
# or plugs in that segment, its status to NAME.status.
serve_units() {
    local request name
    # It ends with netlab.sh, also one killed outright.
    while kill -0 $$ 2>/dev/null; do
        for request in "$spool"/*.units "$spool"/*.segment "$spool"/*.stop; do
            [ -e "$request" ] || continue
            name=${request%.*}
            case $request in
                *.units) mv "$request" "$name.started"; run_units "$name" & ;;
                *.segment) mv "$request" "$name.started"; change_segment "$name" ;;
                *) if [ -e "$name.pid" ]; then rm "$request"; kill "$(cat "$name.pid")" 2>/dev/null || true; fi ;;
            esac
        done
        sleep 0.01
    done
}

run_units() {
    local name=$1 command status=0
    mapfile -t command <"$name.started"
    case ${command[0]} in
        "$units_ns" | "$second_units_ns") ;;
        *) echo "netlab: no units side called ${command[0]}" >&2; echo 2 >"$name.status"; return ;;
    esac
    ip netns exec "${command[@]}" >"$name.out" &
    echo $! >"$name.pid.new" && mv "$name.pid.new" "$name.pid"
    wait $! || status=$?
    echo "$status" >"$name.status.new" && mv "$name.status.new" "$name.status"
}

change_segment() {
    local name=$1 action segment status=0
    read -r action segment <"$name.started"
    case $action in
        plug) plug_segment "$segment" || status=$? ;;
        unplug) unplug_segment "$segment" || status=$? ;;
        *) status=2 ;;
    esac
    echo "$status" >"$name.status.new" && mv "$name.status.new" "$name.status"
}

spool=$(mktemp -d)
# In a process group of its own, which its runs share: the lab's removal ends
# them all at once, also a run still starting, whose program is not in its
# namespace yet (it would outlive the lab, holding the caller's output open).
set -m
serve_units &
launcher=$!
set +m

export LAB_UNITS_NS="$units_ns" LAB_TOOL_NS="$tool_ns"
export LAB_TOOL_ADDRESS="$tool_address" LAB_PREFIX_LENGTH="$prefix_length" LAB_TOOL_INTERFACE=vethT
export LAB_UNITS_INTERFACE=vethU
export LAB_SECOND_UNITS_NS="$second_units_ns" LAB_SECOND_TOOL_ADDRESS="$second_tool_address" LAB_SECOND_TOOL_INTERFACE=vethT2
export LAB_UNITS_SPOOL="$spool"
# In the background so that a signal ends the wait at once (bash runs traps
# only between commands); the lab's removal then ends COMMAND too.
ip netns exec "$tool_ns" "$@" <&0 &
status=0
wait $! || status=$?
exit "$status"
