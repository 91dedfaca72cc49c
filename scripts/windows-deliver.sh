# shellcheck shell=bash
# What a Windows user installs, made from the cross build (sourced by
# windows.sh): the program and its help, the Qt and compiler DLLs it loads,
# and the plugins Qt loads by name at run time; as an NSIS installer and as
# a zip of the same files, both in the project's folder.

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

# make_windows_installer STAGE VERSION SETUP ICON: the NSIS installer of the
# files in STAGE, as version VERSION, in SETUP.
make_windows_installer() {
    local stage version=$2 setup=$3 icon=$4 lists
    stage=$(realpath "$1")
    lists=$(dirname "$stage")
    nsis_file_lists "$stage" "$lists/install.nsh" "$lists/uninstall.nsh"
    makensis -V2 -DVERSION="$version" -DOUTFILE="$setup" \
        -DINSTALL_FILES="$lists/install.nsh" -DUNINSTALL_FILES="$lists/uninstall.nsh" \
        -DINSTALLED_KB="$(du -sk "$stage" | cut -f1)" -DICON="$icon" \
        package/windows/TarvikBootP.nsi
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

    rm -f TarvikBootP-*-setup.exe TarvikBootP-*.zip
    make_windows_installer "$stage" "$version" "$PWD/TarvikBootP-$version-setup.exe" "$build/res/icon/TarvikBootP.ico"
    (cd "$build/deliver" && zip -qrX "$OLDPWD/TarvikBootP-$version.zip" "TarvikBootP-$version")
    ls -l "TarvikBootP-$version-setup.exe" "TarvikBootP-$version.zip"
}
