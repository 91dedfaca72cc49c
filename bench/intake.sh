#!/usr/bin/env bash
# Builds and runs the intake benchmark inside the lab's private network
# (root): the tool and a bare recvfrom loop drain the same queued requests,
# dnsmasq too where it is installed, and the window is flooded with junk.
# Uses the build in build/. QT_QPA_PLATFORM picks the window's platform
# (offscreen unless set; xcb under xvfb-run works too).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
# The offscreen platform warns on every window it shows that it cannot pass
# on size hints; that says nothing about intake and would break up the table.
export QT_LOGGING_RULES="${QT_LOGGING_RULES:-default.warning=false}"
run_bench_in_lab build/bench/intake_bench
