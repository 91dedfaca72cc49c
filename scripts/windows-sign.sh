#!/usr/bin/env bash
# Signs a Windows program or installer in place with Authenticode, by
# osslsigncode, with the certificate in BOOTP_SIGN_PKCS12 and its password in
# BOOTP_SIGN_PASSWORD; time-stamped only when BOOTP_SIGN_TIMESTAMP_URL names a
# time-stamping server (RFC 3161). windows-deliver.sh calls it for the
# programs, and makensis for the uninstaller and the installer.
#   windows-sign.sh FILE
set -euo pipefail
file=$1
# The password goes to osslsigncode in a file of the user's alone, not on a
# command line that every user can read; an empty one (which osslsigncode
# does not read from a file) goes as it is.
trap 'rm -f "${secret:-}" "$file.signed"' EXIT
password=(-pass '')
if [ -n "$BOOTP_SIGN_PASSWORD" ]; then
    secret=$(mktemp)
    printf '%s' "$BOOTP_SIGN_PASSWORD" >"$secret"
    password=(-readpass "$secret")
fi
timestamp=()
if [ -n "${BOOTP_SIGN_TIMESTAMP_URL:-}" ]; then timestamp=(-ts "$BOOTP_SIGN_TIMESTAMP_URL"); fi
osslsigncode sign -pkcs12 "$BOOTP_SIGN_PKCS12" "${password[@]}" -h sha256 \
    -n "Tarvik BootP Tool" "${timestamp[@]}" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
