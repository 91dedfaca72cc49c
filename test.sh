#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
#   ./test.sh              the normal build, in build/
#   ./test.sh --sanitize   again under AddressSanitizer and UBSan, in build-sanitize/
#   ./test.sh --fuzz [SECONDS]   builds the libFuzzer targets with clang in
#                          build-fuzz/ and runs each for SECONDS (30) from its
#                          seed corpus in fuzz/corpus/
# The tests run in a network of their own with loopback alone (ctest, and each
# fuzz target, starts in one), and the first test fails if they can see any
# other. Tests that send on real sockets run inside a private network that
# they build there (lab/netlab.sh); the printing tests print on a PDF printer
# of a CUPS scheduler of their own (tests/support/pdfprinter.sh), never on
# the machine's. Without root the tests that need it are skipped and say why;
# as root every test must run.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

case "${1:-}" in
    --fuzz) install_missing_packages "${BOOTP_PACKAGES[@]}" "${BOOTP_FUZZ_PACKAGES[@]}" ;;
    *) install_missing_packages "${BOOTP_PACKAGES[@]}" "${BOOTP_TEST_PACKAGES[@]}" ;;
esac
case "${1:-}" in
    "")
        build_tree build -DBOOTP_BUILD_TESTS=ON
        in_private_network ctest --test-dir build --output-on-failure --no-tests=error
        ;;
    --sanitize)
        sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
        build_tree build-sanitize -DBOOTP_BUILD_TESTS=ON -DCMAKE_CXX_FLAGS="$sanitizers" \
            -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
            LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan-suppressions.txt" \
            in_private_network ctest --test-dir build-sanitize --output-on-failure --no-tests=error
        ;;
    --fuzz)
        seconds=${2:-30}
        sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
        cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
            -DBOOTP_BUILD_TESTS=OFF -DBOOTP_BUILD_FUZZERS=ON -DCMAKE_CXX_FLAGS="$sanitizers" >/dev/null
        cmake --build build-fuzz -j "$(nproc)" --target fuzzers
        # New inputs go to a scratch folder, never into the tree; an input
        # that fails is kept in build-fuzz/findings/.
        scratch=$(mktemp -d)
        trap 'rm -rf "$scratch"' EXIT
        mkdir -p build-fuzz/findings
        passed=0
        for corpus in fuzz/corpus/*/; do
            name=$(basename "$corpus")
            mkdir "$scratch/$name"
            echo "fuzz_$name: $seconds s"
            log=build-fuzz/findings/$name.log
            if in_private_network build-fuzz/fuzz/"fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
                -artifact_prefix="build-fuzz/findings/$name-" "$scratch/$name" "$corpus" >"$log" 2>&1; then
                grep -E '^stat::(number_of_executed_units|new_units_added)' "$log"
                passed=$((passed + 1))
            else
                tail -n 40 "$log"
                echo "fuzz_$name found a fault; the input is in build-fuzz/findings/" >&2
                echo "fuzz: $passed passed, 1 failed"
                exit 1
            fi
        done
        echo "fuzz: $passed passed, 0 failed"
        ;;
    *)
        echo "usage: $0 [--sanitize | --fuzz [SECONDS]]" >&2
        exit 2
        ;;
esac
