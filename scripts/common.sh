# Shared by run.sh and test.sh: installs what the build needs and builds.

# Debian packages the build, the tests and the lab need.
BOOTP_PACKAGES=(cmake g++ make qt6-base-dev libgtest-dev iproute2 libcap2-bin)
# What PING Selected runs.
BOOTP_RUN_PACKAGES=(iputils-ping)
# The printing tests' printer: CUPS with a queue that writes PDF files, and
# poppler's tools to read them back.
BOOTP_TEST_PACKAGES=(cups printer-driver-cups-pdf poppler-utils)
# The fuzz targets: clang, with libFuzzer from its runtime libraries.
BOOTP_FUZZ_PACKAGES=(clang libclang-rt-dev)

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]}" >&2
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# build_tree DIR [CMAKE_ARGS...]: configures (once) and builds everything in DIR.
build_tree() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

# run_bench_in_lab BINARY [ARGS...]: builds build/ with the benchmarks and runs
# one of them on the tool side of the lab's private network (root).
run_bench_in_lab() {
    install_missing_packages "${BOOTP_PACKAGES[@]}"
    build_tree build -DBOOTP_BUILD_TESTS=ON
    exec lab/netlab.sh run -- "$@"
}
