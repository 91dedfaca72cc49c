#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
#   ./test.sh              the normal build, in build/
#   ./test.sh --sanitize   again under AddressSanitizer and UBSan, in build-sanitize/
# Tests that send on real sockets run only inside a private network that they
# build themselves (lab/netlab.sh); the printing tests print on a PDF printer
# of a CUPS scheduler of their own (tests/support/pdfprinter.sh), never on
# the machine's. Without root the lab tests are skipped.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_missing_packages "${BOOTP_PACKAGES[@]}" "${BOOTP_TEST_PACKAGES[@]}"
case "${1:-}" in
    "")
        build_tree build -DBOOTP_BUILD_TESTS=ON
        ctest --test-dir build --output-on-failure --no-tests=error
        ;;
    --sanitize)
        sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
        build_tree build-sanitize -DBOOTP_BUILD_TESTS=ON -DCMAKE_CXX_FLAGS="$sanitizers" \
            -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
            ctest --test-dir build-sanitize --output-on-failure --no-tests=error
        ;;
    *)
        echo "usage: $0 [--sanitize]" >&2
        exit 2
        ;;
esac
