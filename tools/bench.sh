#!/usr/bin/env bash
# Runs the benchmarks and prints their figures: bench.sh [startup]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
"$root/tools/build.sh" win
source "$root/tools/wine-env.sh"
ondrevan_prepare_prefix
ondrevan_copy_into_c "$root/build/win/Ondrevan" Ondrevan
rm -rf "$WINEPREFIX/drive_c/ondrevan-bench" && mkdir -p "$WINEPREFIX/drive_c/ondrevan-bench"
cp "$root"/build/win/bench/*.exe "$WINEPREFIX/drive_c/ondrevan-bench/"
cd "$WINEPREFIX/drive_c"

what=${1:-all}
startup() {
    echo "== Start-up"
    wine 'C:\ondrevan-bench\startup_bench.exe' 'C:\Ondrevan\Ondrevan.exe' \
        'C:\ondrevan-bench\minimal_window.exe' 7
}
walk() {
    echo "== Sub-folder walk and list storage"
    wine 'C:\ondrevan-bench\walk_bench.exe'
}
export -f startup walk
case $what in
    startup) "$root/tools/with-xvfb.sh" bash -c startup ;;
    walk) "$root/tools/with-xvfb.sh" bash -c walk ;;
    all) "$root/tools/with-xvfb.sh" bash -c 'startup; walk' ;;
    *) echo "usage: $0 [startup|walk|all]" >&2; exit 2 ;;
esac
wineserver -k 2>/dev/null || true
