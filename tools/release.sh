#!/usr/bin/env bash
# Builds the release into build/release/: the portable zip and the Windows installer.
#   Ondrevan-<version>-portable.zip   Ondrevan\ with the program, HAND-M.CUR, Samples\,
#                                     ReadMe.txt, LICENSE.txt and the Group Policy
#                                     templates in Policy\
#   Ondrevan-<version>-setup.exe      the NSIS installer of the same files
#   Ondrevan-<version>.msi            the Windows Installer package, for silent deployment
#   winget/<version>/                 the winget manifests of that installer
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
"$root/tools/build.sh" win

source "$root/tools/release-common.sh"
version=$(ondrevan_version)
program="$root/build/win/Ondrevan"
out="$root/build/release"
rm -rf "$out"
mkdir -p "$out/texts" "$out/zip/Ondrevan"

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
         -DICON="$root/resources/Ondrevan.ico" -DOUTFILE="$setup" "$root/packaging/Ondrevan.nsi"
rm -rf "$out/zip" "$out/texts"

msi="$out/Ondrevan-$version.msi"
"$root/tools/build-msi.sh" "$msi" "$version"

# The winget manifests of this release: its version, where the installer will be, its hash.
url_base=${ONDREVAN_DOWNLOAD_URL:-https://www.quillmere.example/downloads}
hash=$(sha256sum "$setup" | cut -d' ' -f1 | tr a-f A-F)
manifests="$out/winget/$version"
mkdir -p "$manifests"
for manifest in "$root"/packaging/winget/*.yaml; do
    sed -e "s|@VERSION@|$version|" -e "s|@URL@|$url_base/$(basename "$setup")|" \
        -e "s|@SHA256@|$hash|" "$manifest" >"$manifests/$(basename "$manifest")"
done
echo "Portable zip: $zip_file"
echo "Installer:    $setup"
echo "MSI:          $msi"
echo "winget:       $manifests"
