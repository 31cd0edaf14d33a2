#!/usr/bin/env bash
# Builds the release into build/release/: the portable zip and the Windows installer.
#   Ondrevan-<version>-portable.zip   Ondrevan\ with the program, HAND-M.CUR, Samples\,
#                                     ReadMe.txt, LICENSE.txt and the Group Policy
#                                     templates in Policy\
#   Ondrevan-<version>-setup.exe      the NSIS installer of the same files
#   Ondrevan-<version>.msi            the Windows Installer package, for silent deployment
#   winget/<version>/                 the winget manifests of both installers
# With a certificate (ONDREVAN_SIGN_PFX and ONDREVAN_SIGN_PASSWORD, see tools/sign-file.sh)
# the program, the setup, its uninstaller and the MSI are signed; without one they are not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
"$root/tools/build.sh" win

source "$root/tools/release-common.sh"
version=$(ondrevan_version)
out="$root/build/release"
rm -rf "$out"
mkdir -p "$out/texts" "$out/zip/Ondrevan" "$out/program"

# What every package carries: the built program, signed when there is a certificate.
program="$out/program"
cp -r "$root/build/win/Ondrevan"/. "$program/"
sign=()
if [ -n "${ONDREVAN_SIGN_PFX:-}" ]; then
    [ -n "${ONDREVAN_TIMESTAMP_URL-x}" ] || echo "Signing without a timestamp (ONDREVAN_TIMESTAMP_URL is empty)."
    sign=("$root/tools/sign-file.sh")
    "${sign[@]}" "$program/Ondrevan.exe"
else
    echo "No certificate (ONDREVAN_SIGN_PFX): the release is not signed."
fi

ondrevan_windows_texts "$out/texts" "$version"

cp -r "$program"/. "$out/zip/Ondrevan/"
cp "$out/texts/ReadMe.txt" "$out/texts/LICENSE.txt" "$out/zip/Ondrevan/"
# The Group Policy templates, for an administrator to copy into PolicyDefinitions.
cp -r "$root/packaging/policy" "$out/zip/Ondrevan/Policy"
rm "$out/zip/Ondrevan/Policy/check.py"
zip_file="$out/Ondrevan-$version-portable.zip"
(cd "$out/zip" && zip -q -r -X "$zip_file" Ondrevan)

setup="$out/Ondrevan-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DPROGRAM_DIR="$program" -DTEXT_DIR="$out/texts" \
         -DICON="$root/resources/Ondrevan.ico" -DOUTFILE="$setup" \
         ${sign:+-DSIGN="${sign[0]}"} "$root/packaging/Ondrevan.nsi"
rm -rf "$out/zip" "$out/texts"

msi="$out/Ondrevan-$version.msi"
ONDREVAN_PROGRAM_DIR="$program" "$root/tools/build-msi.sh" "$msi" "$version"
[ ${#sign[@]} -eq 0 ] || "${sign[@]}" "$msi"
rm -rf "$program"

# The winget manifests of this release: its version, where the installers will be, their
# hashes and the MSI's product code.
url_base=${ONDREVAN_DOWNLOAD_URL:-https://www.quillmere.example/downloads}
sha() { sha256sum "$1" | cut -d' ' -f1 | tr a-f A-F; }
product_code=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
manifests="$out/winget/$version"
mkdir -p "$manifests"
for manifest in "$root"/packaging/winget/*.yaml; do
    sed -e "s|@VERSION@|$version|g" \
        -e "s|@SETUP_URL@|$url_base/$(basename "$setup")|g" -e "s|@SETUP_SHA256@|$(sha "$setup")|g" \
        -e "s|@MSI_URL@|$url_base/$(basename "$msi")|g" -e "s|@MSI_SHA256@|$(sha "$msi")|g" \
        -e "s|@MSI_PRODUCT_CODE@|$product_code|g" "$manifest" >"$manifests/$(basename "$manifest")"
done
echo "Portable zip: $zip_file"
echo "Installer:    $setup"
echo "MSI:          $msi"
echo "winget:       $manifests"
