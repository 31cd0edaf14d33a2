#!/usr/bin/env bash
# Builds Ondrevan and starts it under Wine. With an X display it runs until you close
# it; without one it runs on a private virtual display, saves a screenshot and closes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"
ondrevan_build_and_stage
mkdir -p "$WINEPREFIX/drive_c/ondrevan-tests"
cp "$root/build/win/tests/ondrevan_probe.exe" "$WINEPREFIX/drive_c/ondrevan-tests/"
cd "$WINEPREFIX/drive_c"

if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != "--screenshot" ]; then
    exec wine 'C:\Ondrevan\Ondrevan.exe'
fi

screenshot() {
    wine 'C:\Ondrevan\Ondrevan.exe' &
    program=$!
    if ! wine 'C:\ondrevan-tests\ondrevan_probe.exe' wait 60; then
        echo "The window did not appear." >&2
        kill $program
        exit 1
    fi
    sleep 3  # let it paint
    mkdir -p "$root/build/screenshots"
    shot="$root/build/screenshots/ondrevan.png"
    import -window root "$shot"
    echo "Screenshot: $shot"
    wine 'C:\ondrevan-tests\ondrevan_probe.exe' close
    set +e
    wait $program
    code=$?
    set -e
    wineserver -w
    echo "Ondrevan closed with exit code $code."
    exit $code
}
export -f screenshot
export root
exec "$root/tools/with-xvfb.sh" bash -c screenshot
