# shellcheck shell=bash
# Qt for Windows, cross-built once from Debian's qt6-base source package and
# kept outside the tree. Sourced by windows.sh (after common.sh).

# Only what the program and its tests use: Core, Gui, Widgets, Network,
# PrintSupport and Test, with the Windows, offscreen and print plugins.
# Debian's source drops wintab, which the Windows plugin's tablet code needs;
# the offscreen plugin needs FreeType (bundled); Qt 6.4's print support and
# Windows plugin link against the DirectWrite engine, which only builds with
# Direct2D. Without OpenGL, the Windows plugin also needs dynamic GL off.
BOOTP_QT_WINDOWS_OPTIONS=(
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=ON
    -DFEATURE_tabletevent=OFF -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF
    -DFEATURE_direct2d=ON
    -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF -DFEATURE_icu=OFF
    -DFEATURE_openssl=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
)
BOOTP_QT_CACHE_ROOT=${BOOTP_QT_CACHE_ROOT:-/var/cache/tarvikbootp}

# The host's Qt tools (moc, rcc, uic) build the Windows Qt and the program,
# so the Windows Qt is the same Debian version as the installed qt6-base-dev.
qt_debian_version() {
    dpkg-query -W -f='${Version}' qt6-base-dev
}

# The cache folder, named by the Debian version and a hash of the options and
# the toolchain file, so a change to either builds a new Qt.
qt_windows_prefix() {
    local hash
    hash=$( { printf '%s\n' "${BOOTP_QT_WINDOWS_OPTIONS[@]}"; cat cmake/mingw-w64-x86_64.cmake; } |
        sha256sum | cut -c1-12)
    echo "$BOOTP_QT_CACHE_ROOT/qt6-mingw-$(qt_debian_version)-$hash"
}

# fetch_qt_source DIR: unpacks qt6-base's source, Debian's patches applied,
# in DIR/source. The deb-src entry is derived from the machine's own Debian
# entry and used through apt's options only, with lists of its own in DIR,
# so the machine's apt configuration is left as it was.
fetch_qt_source() {
    local dir=$1 sources
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial" "$dir/parts" "$dir/download"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sources=$dir/debian-src.sources
        sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources"
    else
        sources=$dir/debian-src.list
        sed -n 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$sources"
    fi
    local apt_options=(-o "Dir::Etc::SourceList=$sources" -o "Dir::Etc::SourceParts=$dir/parts"
        -o "Dir::State::Lists=$dir/lists" -o "Dir::Cache=$dir/cache"
        -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=" -o "APT::Sandbox::User=root")
    apt-get "${apt_options[@]}" update -qq
    (cd "$dir/download" &&
        apt-get "${apt_options[@]}" source --download-only -qq "qt6-base=$(qt_debian_version)")
    dpkg-source -x "$dir"/download/qt6-base_*.dsc "$dir/source" >/dev/null
}

# build_windows_qt: builds and installs the Windows Qt into its cache folder
# unless it is there already. The mark is written last, so a build that
# stopped half way is built again.
build_windows_qt() {
    local prefix work
    prefix=$(qt_windows_prefix)
    [ -f "$prefix/built" ] && return 0
    echo "Building Qt $(qt_debian_version) for Windows into $prefix (about 45 minutes on 2 cores)" >&2
    as_root mkdir -p "$BOOTP_QT_CACHE_ROOT"
    as_root chown "$(id -u):$(id -g)" "$BOOTP_QT_CACHE_ROOT"
    work=$(mktemp -d)
    # shellcheck disable=SC2064  # the folder is known now
    trap "rm -rf '$work'" EXIT
    fetch_qt_source "$work"
    cmake -S "$work/source" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        "${BOOTP_QT_WINDOWS_OPTIONS[@]}" >"$work/configure.log" ||
        { tail -n 40 "$work/configure.log"; return 1; }
    cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" || { tail -n 40 "$work/build.log"; return 1; }
    rm -rf "$prefix"
    cmake --install "$work/build" --strip >/dev/null
    date -u >"$prefix/built"
    rm -rf "$work"
    trap - EXIT
}
