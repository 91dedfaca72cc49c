#!/usr/bin/env bash
# The Debian package as a user meets it (root; CI runs it after ./test.sh):
# makes it, checks it with lintian, desktop-file-validate and appstreamcli,
# installs it with apt-get, first on a copy of this system without setcap
# and then on the system, checks the installed program's capability, starts
# it without a display and sees it stay up, opens its help on a virtual
# display and sees it read the installed manual, then purges it. The program
# runs in a network of its own. What the installation brought along is
# purged too, so the machine's packages end as they were; the tools this
# script installs to check the package stay, as ./test.sh's do. Exits
# non-zero on the first failure.
set -euo pipefail
source "$(dirname "$(realpath "$0")")/checks.sh" package-test
cd "$(dirname "$checks_script")/.."
source scripts/common.sh

program=/usr/bin/TarvikBootP
command_line_program=/usr/bin/tarvik-bootp
manual=/usr/share/TarvikBootP/Vuravevo.html
# On a machine others use too, another program may hold apt's lock a while.
apt_get=(apt-get -o "DPkg::Lock::Timeout=$BOOTP_APT_LOCK_WAIT" -y -qq)
completion=/usr/share/bash-completion/completions/tarvik-bootp

# Runs on a virtual display: types Help > Contents into the installed program
# and waits for the help window; the files the program opens go to $1.
help_session() {
    QT_QPA_PLATFORM=xcb strace -f -qq -e trace=openat -o "$1" "${private_network[@]}" "$program" &
    local tracer=$!
    open_help_contents 'Tarvik BootP Tool' 30
    kill "$(pgrep -P "$tracer")"
    wait "$tracer" 2>/dev/null || true
}

# Runs in a mount namespace of its own: installs the package file $2 on a
# copy of this system from which setcap's package has been purged, with all
# that depends on it, and prints the installed program's capability. The copy
# is an overlay over the root folder whose changes go to a memory file system
# mounted on the folder $1; it goes with the namespace, and nothing of the
# machine changes.
install_without_setcap() {
    local root=$1/root
    mount -t tmpfs without-setcap "$1"
    mkdir "$1/changes" "$1/overlay-work" "$root"
    mount -t overlay without-setcap -o "lowerdir=/,upperdir=$1/changes,workdir=$1/overlay-work" "$root"
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    cp "$2" "$root/tmp/package.deb"
    in_copy() { chroot "$root" env DEBIAN_FRONTEND=noninteractive "$@"; }
    in_copy apt-get purge -y -qq libcap2-bin >/dev/null 2>&1
    if in_copy sh -c 'command -v setcap'; then return 1; fi
    in_copy apt-get install -y -qq --no-install-recommends /tmp/package.deb >/dev/null
    getcap "$root$program"
}
if [ "${1:-}" = --without-setcap ]; then
    install_without_setcap "$2" "$3"
    exit
fi
run_display_session "$@"
# Whether dpkg holds anything of the package: installed, or its configuration.
package_present() { dpkg-query -W -f='${Status}' tarvikbootp 2>/dev/null | grep -qv 'not-installed'; }
installed_packages() { dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package}\n' | awk '$1 == "ii" { print $2 }'; }

[ "$(id -u)" = 0 ] || fail "installing a package needs root"
if package_present; then
    fail "tarvikbootp is installed already; this test would not leave it as it was"
fi
install_missing_packages "${BOOTP_PACKAGES[@]}" "${BOOTP_PACKAGE_PACKAGES[@]}" \
    lintian desktop-file-utils appstream xvfb xauth xdotool strace procps man-db

scripts/package.sh >/dev/null || fail "scripts/package.sh"
debs=(tarvikbootp_*.deb)
[ ${#debs[@]} = 1 ] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}
step "made $deb"

# What the installation adds: the package and what it brought along, which
# go again at the end, also after a failure.
purge_added() {
    local added
    added=$(cat "$work/added")
    if package_present || [ -n "$added" ]; then
        # shellcheck disable=SC2086  # one package name a word
        "${apt_get[@]}" purge tarvikbootp $added >/dev/null 2>&1 || true
    fi
}
make_work_folder purge_added
touch "$work/added"

# The package's metadata, checked as it ships.
lintian --fail-on error,warning "$deb" || fail "lintian"
dpkg-deb -x "$deb" "$work/contents"
desktop-file-validate "$work/contents/usr/share/applications/tarvikbootp.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$work/contents/usr/share/metainfo/com.tarvik.TarvikBootP.metainfo.xml" \
    || fail "appstreamcli validate"

# Where setcap is missing, or cannot give the capability, postinst says how
# to give it by hand and the installation still succeeds.
mkdir "$work/failing-setcap"
printf '#!/bin/sh\nexit 1\n' >"$work/failing-setcap/setcap"
chmod +x "$work/failing-setcap/setcap"
for path in /nonexistent "$work/failing-setcap"; do
    advice=$(PATH="$path" /bin/sh package/postinst configure 2>&1) || fail "postinst fails without setcap"
    grep -qF "setcap cap_net_bind_service=+ep $program" <<<"$advice" || fail "postinst gives no advice: $advice"
done

# The capability comes with the package alone, also where setcap is not
# installed and recommended packages are not: setcap's package is a
# dependency, so it is there, configured, before postinst runs.
mkdir "$work/without-setcap"
capability=$(unshare --mount --propagation private "$checks_script" --without-setcap "$work/without-setcap" "$deb") || fail "no installation on a copy of this system without setcap"
grep -q 'cap_net_bind_service=ep' <<<"$capability" || fail "no port-67 capability where setcap was missing: '$capability'"
step "installed without recommended packages where setcap was missing (a copy of this system): $capability"

installed_packages >"$work/before"
"${apt_get[@]}" install "./$deb" >/dev/null || fail "apt-get install"
installed_packages | grep -vxFf "$work/before" >"$work/added" || true
dpkg -L tarvikbootp >"$work/files"
for file in "$program" "$command_line_program"; do
    getcap "$file" | grep -q 'cap_net_bind_service=ep' || fail "no port-67 capability: '$(getcap "$file")'"
done
step "installed; $(getcap "$program"); $(getcap "$command_line_program")"

# The command-line program answers without a display, its manual page reads
# without a warning, and bash completes its commands and options.
version=$("$command_line_program" --version) || fail "$command_line_program --version failed"
[ "$version" = "tarvik-bootp $(dpkg-query -W -f='${Version}' tarvikbootp)" ] || fail "version: $version"
for page in TarvikBootP tarvik-bootp; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings "$page" 2>&1 >/dev/null) || fail "man $page failed"
    [ -z "$warnings" ] || fail "man $page warns: $warnings"
done
completed=$(bash -c "source $completion; COMP_WORDS=(tarvik-bootp serve --un); COMP_CWORD=2; _tarvik_bootp; echo \"\${COMPREPLY[*]}\"")
[ "$completed" = --until-done ] || fail "bash completion of serve --un gave '$completed'"
step "$version; its manual page and bash completion work"

# Started without any display, the program stays up until it is ended.
QT_QPA_PLATFORM=offscreen "${private_network[@]}" "$program" >"$work/offscreen.log" 2>&1 &
started=$!
sleep 3
kill -0 "$started" 2>/dev/null || fail "the program ended on the offscreen platform: $(cat "$work/offscreen.log")"
kill "$started"
wait "$started" 2>/dev/null || true
step "stayed up 3 s on the offscreen platform"

# Help > Contents, typed on a virtual display (help_session above).
# The program opens the installed manual, as its own system calls show.
on_virtual_display help_session "$work/opened" \
    || fail "no help window on the virtual display"
grep -E "openat\(.*\"$manual\", O_RDONLY.*\) = [0-9]+$" "$work/opened" >/dev/null \
    || fail "the program did not open $manual"
step "opened its help: $manual"

# shellcheck disable=SC2046  # one package name a word
"${apt_get[@]}" purge $(cat "$work/added") >/dev/null || fail "apt-get purge"
package_present && fail "dpkg still holds tarvikbootp after the purge"
while read -r path; do
    # Shared folders (/usr/share/icons/...) stay; the package's own go.
    if [ -f "$path" ] || [ -L "$path" ]; then fail "left behind: $path"; fi
done <"$work/files"
for folder in /usr/share/TarvikBootP /usr/share/doc/tarvikbootp; do
    [ ! -e "$folder" ] || fail "left behind: $folder"
done
installed_packages | cmp -s - "$work/before" || fail "the installed packages differ from before"
step "purged, with what it brought along: $(paste -sd ' ' "$work/added"); nothing of it is left"
: >"$work/added"
