# Shared by run.sh and test.sh: installs what the build needs and builds.

# Debian packages the build, the tests and the lab need (rsvg-convert draws
# the desktop's icons from the SVG).
BOOTP_PACKAGES=(cmake g++ make qt6-base-dev libgtest-dev iproute2 libcap2-bin librsvg2-bin)
# What PING Selected runs.
BOOTP_RUN_PACKAGES=(iputils-ping)
# What only the tests need: the printing tests' printer (a CUPS scheduler
# whose queue writes PDF files through CUPS's own filters, and poppler's tools
# to read them back), a DHCP server that holds port 67 in the lab, a DHCP
# client and two BOOTP clients (bootpc, and klibc's ipconfig) that ask the
# tool for their addresses there, and a virtual X display for the paste from
# X11's primary selection.
BOOTP_TEST_PACKAGES=(cups cups-filters poppler-utils dnsmasq-base isc-dhcp-client bootpc klibc-utils xvfb xauth)
# What making the Debian package needs beyond the build: dpkg-shlibdeps
# (which CPack finds executables for with file).
BOOTP_PACKAGE_PACKAGES=(dpkg-dev file)
# The fuzz targets: clang, with libFuzzer from its runtime libraries.
BOOTP_FUZZ_PACKAGES=(clang libclang-rt-dev)
# The Windows build (scripts/windows.sh): MinGW-w64's compilers with the
# posix thread model, which Qt needs; dpkg-source and ninja to build Qt from
# Debian's source package; Wine to run the tests and the installer; NSIS to
# make the installer; ImageMagick to join the icon's sizes into an .ico;
# DejaVu, the fonts of the tests on the offscreen platform; osslsigncode to
# sign what is delivered, and openssl for the install check's certificate;
# and to check the installed program, a virtual display, xdotool and strace.
BOOTP_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev ninja-build wine64
    nsis zip imagemagick librsvg2-bin fonts-dejavu-core osslsigncode openssl xvfb xauth xdotool strace)

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# "${private_network[@]}" COMMAND [ARG...] runs COMMAND in a network namespace
# of its own with loopback alone, up, so that nothing it starts can reach any
# other network whatever it sends; COMMAND keeps the process id it starts
# with. The lab (lab/netlab.sh) makes its own namespaces from inside it.
# Without root it is a user namespace made for it, in which the user keeps
# their own ids, so what needs root is still refused: root of an outer user
# namespace brings loopback up, and COMMAND runs as the user again in one
# inside that.
loopback_up=(sh -c 'ip link set lo up && exec "$@"' sh)
if [ "$(id -u)" = 0 ]; then
    private_network=(unshare --net -- "${loopback_up[@]}")
else
    private_network=(unshare --map-root-user --net -- "${loopback_up[@]}"
        unshare --map-user="$(id -u)" --map-group="$(id -g)" --)
fi

# in_private_network COMMAND [ARG...]: the same, once it is known that such a
# namespace can be made here.
in_private_network() {
    if ! "${private_network[@]}" true; then
        echo "Cannot make a network namespace for the tests, which never run on this machine's network." >&2
        echo "Run as root, or allow user namespaces (sysctl user.max_user_namespaces," \
            "and on Debian's kernels kernel.unprivileged_userns_clone=1)." >&2
        return 1
    fi
    "${private_network[@]}" "$@"
}

# Right after a desktop starts, its automatic updates often hold the package
# manager's lock for minutes; the install step waits this many seconds for it
# rather than fail at once.
BOOTP_APT_LOCK_WAIT=300

# Whether a program holds one of the package manager's locks. Read from
# /proc/locks, so it needs no root and takes no lock itself.
apt_lock_is_held() {
    local lock inode
    for lock in /var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock; do
        inode=$(stat -c %i "$lock" 2>/dev/null) || continue
        grep -q ":$inode " /proc/locks && return 0
    done
    return 1
}

wait_for_package_manager() {
    local waited=0
    apt_lock_is_held || return 0
    echo "Another program is using the package manager (often the automatic updates);" \
        "waiting up to $BOOTP_APT_LOCK_WAIT seconds for it to finish." >&2
    while apt_lock_is_held && [ "$waited" -lt "$BOOTP_APT_LOCK_WAIT" ]; do
        sleep 2
        waited=$((waited + 2))
    done
}

install_missing_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]}" >&2
    wait_for_package_manager
    as_root apt-get update -qq
    # apt's own wait covers a program that takes the lock in between; it
    # waits only where it installs, hence the wait above.
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o "DPkg::Lock::Timeout=$BOOTP_APT_LOCK_WAIT" \
        install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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
