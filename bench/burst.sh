#!/usr/bin/env bash
# Builds and runs the burst benchmark inside the lab's private network (root).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
install_missing_packages "${BOOTP_PACKAGES[@]}"
build_tree build -DBOOTP_BUILD_TESTS=ON
exec lab/netlab.sh run -- build/bench/burst_bench
