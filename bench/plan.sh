#!/usr/bin/env bash
# Builds and runs the plan benchmark inside the lab's private network (root):
# tarvik-bootp serving a 5,000-unit plan to a burst, the same queue drained by
# a bare recvfrom loop, tarvik-bootp and dnsmasq, and a 100,000-line plan.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
run_bench_in_lab build/bench/plan_bench
