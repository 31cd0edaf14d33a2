#!/usr/bin/env bash
# Builds the release, installs it in a fresh Wine world on a private virtual display and
# runs the end-to-end suite against the installed program. Screenshots: build/e2e/screenshots.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/tools/release.sh" >/dev/null
# A later version of the same package, to show that it replaces the released one.
source "$root/tools/release-common.sh"
version=$(ondrevan_version)
later="${version%.*}.$((${version##*.} + 1))"
rm -f "$root"/build/e2e/Ondrevan-later-*.msi
"$root/tools/build-msi.sh" "$root/build/e2e/Ondrevan-later-$later.msi" "$later"

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
