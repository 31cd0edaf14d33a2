#!/usr/bin/env bash
# Signs one file in place (a program, an installer, an uninstaller, an MSI) with osslsigncode:
#   tools/sign-file.sh FILE
# The certificate and its key: ONDREVAN_SIGN_PFX (a PFX file) and ONDREVAN_SIGN_PASSWORD (its
# password). The signature is timestamped by ONDREVAN_TIMESTAMP_URL (unset: a public
# timestamp server; set but empty: no timestamp). Called by tools/release.sh, and by makensis
# for the setup and its uninstaller.
set -euo pipefail
file=$1
: "${ONDREVAN_SIGN_PFX:?no certificate: set ONDREVAN_SIGN_PFX}"
timestamp=${ONDREVAN_TIMESTAMP_URL-http://timestamp.digicert.com}
password=$(mktemp)
trap 'rm -f "$password" "$file.signed"' EXIT
chmod 600 "$password"
printf '%s' "${ONDREVAN_SIGN_PASSWORD:-}" >"$password"
args=(sign -pkcs12 "$ONDREVAN_SIGN_PFX" -readpass "$password" -h sha256
      -n Ondrevan -i https://www.quillmere.example/)
[ -n "$timestamp" ] && args+=(-ts "$timestamp")
osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
