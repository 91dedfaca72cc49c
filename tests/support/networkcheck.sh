#!/usr/bin/env bash
# The tests' first check: that they run in a network of their own, with
# loopback alone (./test.sh and scripts/windows.sh start ctest in one).
# Fails, saying what it sees, when any other interface, or a route by any
# other, is in sight: the tests could then reach a real network.
set -euo pipefail
source "$(dirname "$(realpath "$0")")/../../scripts/checks.sh" networkcheck
command -v ip >/dev/null || fail "no ip command; Debian: iproute2, which ./test.sh installs"

interfaces=$(ip -o link show | awk -F': ' '{ sub(/@.*/, "", $2) } $2 != "lo" { print $2 }')
routes=$({ ip -4 route show table all; ip -6 route show table all 2>/dev/null || true; } | grep -Ev ' dev lo( |$)' || true)
if [ -n "$interfaces" ] || [ -n "$routes" ]; then
    fail "the tests are not in a network of their own; ./test.sh starts them in one. They see:
interfaces: $(echo "$interfaces" | paste -sd ' ')
routes:
$routes"
fi
step "loopback alone"
