#!/usr/bin/env bash
# The real program under a moved wall clock (faketime moves it and leaves the tick counts
# alone), in New York's zone (TZ of the Wine process):
#  1. daily at 2:30 AM, running across the night 2:00 becomes 3:00: it runs at 3:00, once;
#  2. daily at 1:30 AM, run at 1:30 EDT, closed, started again at 1:29:45 EST: no second run.
# It reads the history file and "LastScheduledRun". Each wait is on a condition, with a
# time-out that fails.
#   clock-check.sh PROGRAM_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wine-env.sh"
# A Wine world of its own: its wineserver must start under the moved clock too.
export ONDREVAN_WINE=$ONDREVAN_BUILD/wine-clock
source "$here/../../tools/wine-env.sh"
program_dir=$1
key='HKCU\Software\VB and VBA Program Settings\Quillmere\Ondrevan'
sep='|234SSDEPERATATORZZ|'
export TZ=America/New_York
pid=
passed=0
# Ends the program this script started (by its process id).
stop() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    pid=
}
trap 'stop; wineserver -k 2>/dev/null || true' EXIT
fail() { echo "clock: $*"; echo "$passed passed, 1 failed"; exit 1; }
command -v faketime > /dev/null || fail "faketime is not installed (tools/install-deps.sh)"

ondrevan_prepare_prefix
ondrevan_copy_into_c "$program_dir" Ondrevan
# The server up first, so that a start under the moved clock takes a moment, not the boot.
wineserver -p 60
wine cmd /c exit > /dev/null 2>&1 || true
drive=$WINEPREFIX/drive_c
set_value() { wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f > /dev/null 2>&1; }
get_value() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {print $3}'; }
history_file() { find "$drive/users" -name Ondrevan.txt 2>/dev/null | head -n 1; }
history() { local f; f=$(history_file); [ -n "$f" ] && cat "$f" || true; }
runs() { history | grep -c 'Deleted content of folder' || true; }
# Starts the program with the wall clock at that instant (seconds since 1970) and running on.
start_at() {
    local offset=$(($1 - $(date +%s)))
    (cd "$drive" && FAKETIME="${offset}s" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
        exec wine 'C:\Ondrevan\Ondrevan.exe') > /dev/null 2>&1 &
    pid=$!
}
# Waits, up to a time-out in seconds, for a command to succeed; between tries it waits on a
# pipe that never speaks.
exec {poll}<> <(:)
wait_for() {
    local limit=$(($(date +%s) + $1)); shift
    until "$@"; do
        [ "$(date +%s)" -lt "$limit" ] || return 1
        read -r -t 0.2 -u "$poll" || true
    done
}
# The program's clock has passed that instant (seconds since 1970) by a little.
fake_now_past() { [ "$(FAKETIME="$2s" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 date +%s)" -gt "$1" ]; }
ran_times() { [ "$(runs)" -ge "$1" ]; }

stop
wine reg delete "$key" /f > /dev/null 2>&1 || true
rm -rf "$drive/clk" && mkdir -p "$drive/clk/Data"
f=$(history_file); [ -z "$f" ] || rm -f "$f"
set_value Folders "C:\\clk\\Data$sep"
set_value Option1 False
set_value Option2 True
set_value Option3 False
set_value Option4 True
set_value StartStopState On
set_value SwitchedOn 2026-01-01T00:00:00

# 1. The spring-forward night: 2:30 AM is skipped by the clock; the run comes at 3:00 EDT.
set_value 'Weekly Time' '2:30:00 AM'
: > "$drive/clk/Data/spring.tmp"
start_at "$(date -d '2026-03-08 06:59:45 UTC' +%s)"
wait_for 30 ran_times 1 || fail "no run across the spring-forward gap: $(history)"
stop
[ "$(get_value LastScheduledRun)" = 2026-03-08T03:00:00-04:00 ] ||
    fail "the stamp after the gap is '$(get_value LastScheduledRun)'"
[ ! -e "$drive/clk/Data/spring.tmp" ] || fail "the run across the gap left the file"
passed=$((passed + 1))

# 2. The fall-back night: 1:30 EDT runs; started again at 1:29:45 EST, 1:30 EST does not.
set_value 'Weekly Time' '1:30:00 AM'
: > "$drive/clk/Data/first.tmp"
start_at "$(date -d '2026-11-01 05:29:45 UTC' +%s)"
wait_for 30 ran_times 2 || fail "no run at 1:30 EDT: $(history)"
stop
[ "$(get_value LastScheduledRun)" = 2026-11-01T01:30:00-04:00 ] ||
    fail "the stamp of the 1:30 EDT run is '$(get_value LastScheduledRun)'"
: > "$drive/clk/Data/saved.tmp"
second=$(date -d '2026-11-01 06:29:45 UTC' +%s)
offset=$((second - $(date +%s)))
start_at "$second"
wait_for 30 fake_now_past "$(date -d '2026-11-01 06:30:04 UTC' +%s)" "$offset" ||
    fail "the clock did not reach 1:30:04 EST"
kill -0 "$pid" 2> /dev/null || fail "the program is not running at 1:30:04 EST"
[ "$(runs)" = 2 ] || fail "1:30 EST ran too: $(history)"
[ -e "$drive/clk/Data/saved.tmp" ] || fail "what was saved after the 1:30 EDT run was deleted"
stop
[ "$(get_value LastScheduledRun)" = 2026-11-01T01:30:00-04:00 ] ||
    fail "the stamp moved to '$(get_value LastScheduledRun)'"
passed=$((passed + 1))
echo "$passed passed, 0 failed"
