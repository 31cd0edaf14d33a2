#!/usr/bin/env bash
# Runs the benchmarks and prints their figures:
#   bench.sh [startup|walk|delete|responsive|preview|rules|tick|history|all]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"
ondrevan_build_and_stage
rm -rf "$WINEPREFIX/drive_c/ondrevan-bench" && mkdir -p "$WINEPREFIX/drive_c/ondrevan-bench"
cp "$root"/build/win/bench/*.exe "$WINEPREFIX/drive_c/ondrevan-bench/"
cd "$WINEPREFIX/drive_c"

what=${1:-all}
history() {
    echo "== Run History and the record of runs (native, optimised, no sanitizers)"
    cmake -S "$root" -B "$root/build/native-release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$root/build/native-release" --target history_bench >/dev/null
    "$root/build/native-release/bench/history_bench"
}

tick() {
    echo "== Idle scheduler tick (native, optimised, no sanitizers)"
    cmake -S "$root" -B "$root/build/native-release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$root/build/native-release" --target idle_tick_bench >/dev/null
    "$root/build/native-release/bench/idle_tick_bench"
}
startup() {
    echo "== Start-up"
    # ONDREVAN_BENCH_EARLIER=path/to/Ondrevan.exe: an earlier build, measured in the same rounds.
    # It runs from beside the program, where it finds the same files.
    local earlier=()
    if [ -n "${ONDREVAN_BENCH_EARLIER:-}" ]; then
        cp "$ONDREVAN_BENCH_EARLIER" "$WINEPREFIX/drive_c/Ondrevan/OndrevanEarlier.exe"
        earlier=('C:\Ondrevan\OndrevanEarlier.exe')
    fi
    wine 'C:\ondrevan-bench\startup_bench.exe' 'C:\Ondrevan\Ondrevan.exe' \
        'C:\ondrevan-bench\plain_window.exe' 'C:\ondrevan-bench\minimal_window.exe' \
        "${ONDREVAN_BENCH_ROUNDS:-7}" "${earlier[@]}"
    rm -f "$WINEPREFIX/drive_c/Ondrevan/OndrevanEarlier.exe"
}
walk() {
    echo "== Sub-folder walk and list storage"
    wine 'C:\ondrevan-bench\walk_bench.exe'
}
delete() {
    echo "== Deleting files"
    # Whichever side runs first pays for the cold folder, so both orders are measured; then,
    # del first again, ours handing the folder one file at a time, as before two threads.
    for order in measure measure-del-first measure-one-at-a-time; do
        # The files are made from this side: made under Wine, each new name is looked up
        # across the whole growing folder first, and filling alone takes many minutes.
        for side in a b; do
            folder="$WINEPREFIX/drive_c/ondrevan-bench-delete-$side"
            rm -rf "$folder" && mkdir -p "$folder"
            (cd "$folder" && for i in $(seq 0 49999); do printf 0123456789 > "file$i.tmp"; done)
        done
        sync
        echo "-- order: $order"
        wine 'C:\ondrevan-bench\delete_bench.exe' "$order"
    done
}
responsive() {
    echo "== The window's answer during a run"
    for side in a b; do
        folder="$WINEPREFIX/drive_c/ondrevan-bench-responsive-$side"
        rm -rf "$folder" && mkdir -p "$folder"
        (cd "$folder" && for i in $(seq 0 99999); do printf 0123456789 > "file$i.tmp"; done)
    done
    sync
    wine 'C:\ondrevan-bench\responsiveness_bench.exe' files 'C:\ondrevan-bench-responsive-a' \
        'C:\ondrevan-bench-responsive-b'
    wine 'C:\ondrevan-bench\responsiveness_bench.exe' missing 20000
}
preview() {
    echo "== The preview's count over 1,000 folders of 50 files"
    root="$WINEPREFIX/drive_c/ondrevan-bench-preview"
    rm -rf "$root" && mkdir -p "$root"
    (cd "$root" && for f in $(seq 0 999); do
        mkdir "$f" && (cd "$f" && for i in $(seq 0 49); do printf 0123456789 > "file$i.tmp"; done)
    done)
    sync
    wine 'C:\ondrevan-bench\responsiveness_bench.exe' preview 'C:\ondrevan-bench-preview' 1000
    rm -rf "$root"
}
rules() {
    echo "== The run rules' cost"
    # Each order twice: the second pass sees warm caches on both sides.
    for pass in "rules-first" "no-rules-first" "rules-first" "no-rules-first" \
        "rules-first folder" "no-rules-first folder" "rules-first folder" \
        "no-rules-first folder"; do
        for side in a b; do
            folder="$WINEPREFIX/drive_c/ondrevan-bench-rules-$side"
            rm -rf "$folder" && mkdir -p "$folder"
            (cd "$folder" && for i in $(seq 0 49999); do printf 0123456789 > "file$i.tmp"; done &&
                touch -d '30 days ago' -- *)
        done
        sync
        wine 'C:\ondrevan-bench\rules_bench.exe' 'C:\ondrevan-bench-rules-a' \
            'C:\ondrevan-bench-rules-b' $pass
    done
}
export -f startup walk delete responsive preview rules
case $what in
    startup) "$root/tools/with-xvfb.sh" bash -c startup ;;
    walk) "$root/tools/with-xvfb.sh" bash -c walk ;;
    delete) "$root/tools/with-xvfb.sh" bash -c delete ;;
    responsive) "$root/tools/with-xvfb.sh" bash -c responsive ;;
    preview) "$root/tools/with-xvfb.sh" bash -c preview ;;
    rules) "$root/tools/with-xvfb.sh" bash -c rules ;;
    tick) tick ;;
    history) history ;;
    all) tick; history; "$root/tools/with-xvfb.sh" bash -c 'startup; walk; delete; responsive; preview; rules' ;;
    *) echo "usage: $0 [startup|walk|delete|responsive|preview|rules|tick|history|all]" >&2; exit 2 ;;
esac
wineserver -k 2>/dev/null || true
