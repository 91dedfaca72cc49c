# shellcheck shell=bash
# What a Windows user installs, made from the cross build (sourced by
# windows.sh, after windows-qt.sh): the program and its help, the Qt and
# compiler DLLs it loads, the plugins Qt loads by name at run time, and the
# licences of what is not ours; as an NSIS installer and as a zip of the same
# files, both in the project's folder. Signed when a certificate is given:
#   BOOTP_SIGN_PKCS12          the certificate and its key, a .p12 (PKCS#12) file
#   BOOTP_SIGN_PASSWORD        its password (set, even if empty)
#   BOOTP_SIGN_TIMESTAMP_URL   a time-stamping server (RFC 3161), if any

# No import names these: the Windows platform and the native style. (Printing
# through Windows' spooler is part of Qt6PrintSupport.dll itself.)
BOOTP_WINDOWS_PLUGINS=(platforms/qwindows.dll styles/qwindowsvistastyle.dll)

# windows_dll_folders QT: where the DLLs that ship come from: Qt's, and the
# compiler's runtime. A DLL found in none of them is Windows' own.
windows_dll_folders() {
    local compiler=x86_64-w64-mingw32-g++-posix
    echo "$1/bin"
    dirname "$("$compiler" -print-file-name=libstdc++-6.dll)"
    dirname "$(realpath "$("$compiler" -print-file-name=libwinpthread-1.dll)")"
}

# copy_imported_dlls FILE STAGE FOLDER...: copies into STAGE each DLL that
# FILE imports from the FOLDERs, and what those import in turn.
copy_imported_dlls() {
    local file=$1 stage=$2 name folder
    shift 2
    for name in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        [ -e "$stage/$name" ] && continue
        for folder in "$@"; do
            if [ -f "$folder/$name" ]; then
                cp "$folder/$name" "$stage/$name"
                copy_imported_dlls "$stage/$name" "$stage" "$@"
                break
            fi
        done
    done
}

# windows_subpath PATH: "\a\b" for a/b, nothing for ".".
windows_subpath() {
    [ "$1" = . ] || printf '\\%s' "${1//\//\\}"
}

# nsis_file_lists STAGE INSTALL UNINSTALL: the installer's File lines, folder
# by folder, and the uninstaller's Delete and RMDir lines for exactly those
# files and folders, so uninstalling removes only what was installed.
nsis_file_lists() {
    local stage=$1 file folder current=
    : >"$2"
    : >"$3"
    while read -r file; do
        folder=$(dirname "$file")
        if [ "$folder" != "$current" ]; then
            echo "SetOutPath \"\$INSTDIR$(windows_subpath "$folder")\"" >>"$2"
            current=$folder
        fi
        echo "File \"$stage/$file\"" >>"$2"
        echo "Delete \"\$INSTDIR$(windows_subpath "$file")\"" >>"$3"
    done < <(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
    while read -r folder; do
        echo "RMDir \"\$INSTDIR$(windows_subpath "$folder")\"" >>"$3"
    done < <(cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | LC_ALL=C sort -r)
}

# debian_copyright FILE: the copyright file of the Debian package that
# installed FILE.
debian_copyright() {
    local package
    package=$(dpkg-query -S "$(realpath "$1")" | cut -d: -f1)
    echo "/usr/share/doc/$package/copyright"
}

# windows_licences STAGE: STAGE/Licenses, the licence texts and notices that
# the third-party files of STAGE require, taken from this machine's Debian
# files: Qt's (the Windows Qt is built from the same source package as the
# installed qt6-base-dev), the GCC runtime's and MinGW-w64's. Windows' own
# line ends, for Notepad.
windows_licences() {
    local stage=$1 licences=$1/Licenses compiler=x86_64-w64-mingw32-g++-posix
    local qt_version qt_upstream qt_files file
    qt_version=$(qt_debian_version)
    qt_upstream=${qt_version%%[+-]*}
    qt_files=$(cd "$stage" && find . -name 'Qt6*.dll' -o -path './platforms/*' -o -path './styles/*' |
        sed 's|^\./||; s|/|\\|g' | LC_ALL=C sort | paste -sd ' ')
    mkdir -p "$licences"
    cp /usr/share/common-licenses/LGPL-3 "$licences/LGPL-3.txt"
    cp /usr/share/common-licenses/GPL-3 "$licences/GPL-3.txt"
    cp /usr/share/doc/qt6-base-dev/copyright "$licences/Qt.txt"
    cp "$(debian_copyright "$("$compiler" -print-file-name=libstdc++-6.dll)")" "$licences/GCC-runtime.txt"
    cp "$(debian_copyright "$("$compiler" -print-file-name=libwinpthread-1.dll)")" "$licences/MinGW-w64.txt"
    cat >"$licences/README.txt" <<EOT
Tarvik BootP Tool ships these files of others, each under its own licence.

Qt $qt_upstream: $qt_files
  Copyright The Qt Company Ltd. and others. Used under the GNU Lesser General
  Public License version 3 (LGPL-3.txt), which adds its permissions to the GNU
  General Public License version 3 (GPL-3.txt). Qt.txt names the copyright
  holders and licences of every part of Qt, those it includes from others
  (FreeType, HarfBuzz, libpng, zlib, PCRE2, double-conversion and more) too.
  The programs load these DLLs dynamically from their folder: you may replace
  them with Qt libraries of your own, built from this source or a changed one.
  They are built, with Debian's patches and no other change, from Debian's
  qt6-base source package, version $qt_version:
    apt-get source qt6-base=$qt_version
    https://snapshot.debian.org/package/qt6-base/${qt_version//+/%2B}/
  with MinGW-w64's compilers and these CMake options:
$(echo "${BOOTP_QT_WINDOWS_OPTIONS[*]}" | fold -s -w 72 | sed 's/ *$//; s/^/    /')
  Qt's own source: https://download.qt.io/archive/qt/${qt_upstream%.*}/$qt_upstream/submodules/

The GCC runtime: libstdc++-6.dll libgcc_s_seh-1.dll
  Copyright the Free Software Foundation. Under the GNU General Public License
  version 3 (GPL-3.txt) with the GCC Runtime Library Exception version 3.1,
  whose text is in GCC-runtime.txt (Debian's copyright file of its package).

MinGW-w64's thread library: libwinpthread-1.dll
  Copyright the MinGW-w64 project and others. Its licence is in MinGW-w64.txt
  (Debian's copyright file of its package: the part for winpthreads).
EOT
    for file in "$licences"/*; do
        sed -i 's/\r*$/\r/' "$file"
    done
}

# windows_signing: whether the deliverables are to be signed: when a
# certificate is given. Given without its password, or missing, the build
# stops rather than deliver unsigned files.
windows_signing() {
    [ -n "${BOOTP_SIGN_PKCS12:-}" ] || return 1
    [ -f "$BOOTP_SIGN_PKCS12" ] || { echo "No such certificate: BOOTP_SIGN_PKCS12=$BOOTP_SIGN_PKCS12" >&2; exit 1; }
    [ -n "${BOOTP_SIGN_PASSWORD+set}" ] ||
        { echo "BOOTP_SIGN_PKCS12 is set, BOOTP_SIGN_PASSWORD is not (set it, even to nothing)." >&2; exit 1; }
}

# make_windows_installer STAGE VERSION SETUP ICON: the NSIS installer of the
# files in STAGE, as version VERSION, in SETUP; signed, the uninstaller in it
# too, when windows_signing says so (the programs in STAGE are signed before).
make_windows_installer() {
    local stage version=$2 setup=$3 icon=$4 lists sign=()
    stage=$(realpath "$1")
    lists=$(dirname "$stage")
    nsis_file_lists "$stage" "$lists/install.nsh" "$lists/uninstall.nsh"
    if windows_signing; then sign=(-DSIGN_COMMAND="$PWD/scripts/windows-sign.sh"); fi
    makensis -V2 -DVERSION="$version" -DOUTFILE="$setup" "${sign[@]}" \
        -DINSTALL_FILES="$lists/install.nsh" -DUNINSTALL_FILES="$lists/uninstall.nsh" \
        -DINSTALLED_KB="$(du -sk "$stage" | cut -f1)" -DICON="$icon" \
        package/windows/TarvikBootP.nsi
}

# sign_windows_programs STAGE: signs the programs in STAGE, when
# windows_signing says so.
sign_windows_programs() {
    local program
    windows_signing || return 0
    for program in "$1"/*.exe; do
        scripts/windows-sign.sh "$program"
    done
}

# make_windows_deliverables BUILD QT
make_windows_deliverables() {
    local build=$1 qt=$2 version stage plugin folders
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    stage=$build/deliver/TarvikBootP-$version
    rm -rf "$build/deliver"
    cmake --install "$build" --prefix "$stage" --strip >/dev/null
    mapfile -t folders < <(windows_dll_folders "$qt")
    for plugin in "${BOOTP_WINDOWS_PLUGINS[@]}"; do
        mkdir -p "$stage/$(dirname "$plugin")"
        cp "$qt/plugins/$plugin" "$stage/$plugin"
    done
    for file in "$stage"/*.exe "$stage"/*/*.dll; do
        copy_imported_dlls "$file" "$stage" "${folders[@]}"
    done
    # The compiler's runtime comes unstripped.
    x86_64-w64-mingw32-strip --strip-unneeded "$stage"/lib*.dll
    windows_licences "$stage"
    windows_signing || echo "Not signed: no certificate given (BOOTP_SIGN_PKCS12, BOOTP_SIGN_PASSWORD)."
    sign_windows_programs "$stage"

    rm -f TarvikBootP-*-setup.exe TarvikBootP-*.zip
    make_windows_installer "$stage" "$version" "$PWD/TarvikBootP-$version-setup.exe" "$build/res/icon/TarvikBootP.ico"
    (cd "$build/deliver" && zip -qrX "$OLDPWD/TarvikBootP-$version.zip" "TarvikBootP-$version")
    ls -l "TarvikBootP-$version-setup.exe" "TarvikBootP-$version.zip"
}
