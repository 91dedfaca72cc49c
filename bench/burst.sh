#!/usr/bin/env bash
# Builds and runs the burst benchmark inside the lab's private network (root).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
run_bench_in_lab build/bench/burst_bench
