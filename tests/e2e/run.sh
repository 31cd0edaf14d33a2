#!/usr/bin/env bash
# Builds the release, installs it in a fresh Wine world on a private virtual display and
# runs the end-to-end suite against the installed program. Screenshots: build/e2e/screenshots.
# run.sh package   only builds what the suite installs (the test command does it beside the
#                  Wine tests); run.sh suite   only runs the suite on what was built.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
part=${1:-all}
package() {
    # The release is signed with a throwaway certificate authority and code-signing certificate;
    # the suite checks every signature against that authority.
    signing="$root/build/e2e/signing"
    rm -rf "$signing" && mkdir -p "$signing"
    (
        cd "$signing"
        openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Ondrevan test authority" \
            -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
            -keyout ca.key -out ca.pem
        openssl req -newkey rsa:2048 -nodes -subj "/CN=Quillmere (test)" -keyout code.key -out code.csr
        printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >code.ext
        openssl x509 -req -in code.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
            -extfile code.ext -out code.pem
        openssl pkcs12 -export -in code.pem -inkey code.key -certfile ca.pem -out code.pfx \
            -passout pass:throwaway
    ) >/dev/null 2>&1
    echo "Signing the release with a throwaway certificate, without a timestamp (no timestamp server offline)"
    ONDREVAN_SIGN_PFX="$signing/code.pfx" ONDREVAN_SIGN_PASSWORD=throwaway ONDREVAN_TIMESTAMP_URL= \
        "$root/tools/release.sh" >/dev/null
    # A later version of the same package, to show that it replaces the released one, and a
    # rebuild of the released version, which replaces it too.
    source "$root/tools/release-common.sh"
    version=$(ondrevan_version)
    later="${version%.*}.$((${version##*.} + 1))"
    rm -f "$root"/build/e2e/Ondrevan-later-*.msi "$root"/build/e2e/Ondrevan-rebuilt-*.msi
    # The two are built side by side: each is mostly one program waiting on files.
    "$root/tools/build-msi.sh" "$root/build/e2e/Ondrevan-later-$later.msi" "$later" &
    later_msi=$!
    "$root/tools/build-msi.sh" "$root/build/e2e/Ondrevan-rebuilt-$version.msi" "$version"
    wait "$later_msi"
}
if [ "$part" != suite ]; then package; fi
if [ "$part" = package ]; then exit 0; fi

export ONDREVAN_WINE=$root/build/e2e/wine
rm -rf "$ONDREVAN_WINE" "$root/build/e2e/screenshots"
source "$root/tools/wine-env.sh"

suite() {
    ondrevan_prepare_prefix
    cd "$WINEPREFIX/drive_c"  # a folder Wine can reach: it has no Z: drive
    # No window manager runs on the virtual display: Wine draws the title bars itself, so
    # the minimize and close boxes are there to be clicked.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    set +e
    PYTHONDONTWRITEBYTECODE=1 python3 "$root/tests/e2e/suite.py" --prefix "$WINEPREFIX" \
        --setup "$(echo "$root"/build/release/Ondrevan-*-setup.exe)" \
        --zip "$(echo "$root"/build/release/Ondrevan-*-portable.zip)" \
        --msi "$(echo "$root"/build/release/Ondrevan-*.msi)" \
        --later-msi "$(echo "$root"/build/e2e/Ondrevan-later-*.msi)" \
        --rebuilt-msi "$(echo "$root"/build/e2e/Ondrevan-rebuilt-*.msi)" \
        --ca "$root/build/e2e/signing/ca.pem" \
        --probe "$root/build/win/tests/ondrevan_probe.exe" \
        --samples "$root/resources/Samples" --shots "$root/build/e2e/screenshots"
    code=$?
    wineserver -k 2>/dev/null
    return $code
}
export -f suite ondrevan_prepare_prefix
# The end-to-end suite works on the screen size of its screenshots.
export ONDREVAN_SCREEN=1280x1024
export root
exec "$root/tools/with-xvfb.sh" bash -c suite
