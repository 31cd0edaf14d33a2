#!/usr/bin/env bash
# What an administrator sees of the real program under Wine:
#  - a /run's events, through the "eventlog" debug channel that Wine's ReportEventW writes to
#    (WINEDEBUG=+eventlog: warnings as "warn:eventlog", information as "trace:eventlog"),
#    each after the "advapi" channel's note of its type and event ID;
#  - /status's exit codes for a run with failures and a schedule that stopped running;
#  - settings exported in one prefix and imported into a fresh one read back the same, without
#    the machine's record of its runs;
#  - a settings file in UTF-16 (PowerShell's) is read, an empty one and a folder are said to be
#    what they are.
#   administrator-check.sh PROGRAM_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wine-env.sh"
program_dir=$1
key='HKCU\Software\VB and VBA Program Settings\Quillmere\Ondrevan'
sep='|234SSDEPERATATORZZ|'
passed=0
fail() { echo "administrator: $*"; echo "$passed passed, 1 failed"; exit 1; }

ondrevan_prepare_prefix
ondrevan_copy_into_c "$program_dir" Ondrevan
drive=$WINEPREFIX/drive_c
rm -rf "$drive/adm" && mkdir -p "$drive/adm/Data"
: > "$drive/adm/Data/old.tmp"
: > "$drive/adm/np.exe"
set_value() { wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f > /dev/null 2>&1; }
ondrevan() { (cd "$drive" && wine 'C:\Ondrevan\Ondrevan.exe' "$@"); }
wine reg delete "$key" /f > /dev/null 2>&1 || true

# 1. A run over a folder and a listed file: the file is refused, the run ends with a failure.
set_value Folders "C:\\adm\\Data$sep""C:\\adm\\np.exe$sep"
set_value Option1 False
set_value Option2 True
code=0
WINEDEBUG=+eventlog,fixme+advapi ondrevan /run > "$drive/adm/run.txt" 2> "$drive/adm/debug.txt" || code=$?
[ "$code" = 1 ] || fail "/run with a refused entry exited $code, not 1"
events=$(grep -E ':eventlog:|ReportEventW' "$drive/adm/debug.txt" || true)
# The type (2: warning) and the ID: 1002 (0x3ea) the refused entry, 1001 (0x3e9) the run.
ids=$(grep -o 'ReportEventW ([^,]*,0x[0-9a-f]*,0x[0-9a-f]*,0x[0-9a-f]*' <<< "$events" \
    | sed 's/.*(\([^,]*\),//' | tr '\n' ' ')
[ "$ids" = "0x0002,0x0000,0x000003ea 0x0002,0x0000,0x000003e9 " ] \
    || fail "the events' types and IDs are $ids: $events"
grep -q 'warn:eventlog:ReportEventW L"Refused  C:\\\\adm\\\\np.exe (not a folder)"' <<< "$events" \
    || fail "no warning for the refused entry on the eventlog channel: $events"
grep -q 'warn:eventlog:ReportEventW L"Run finished: 1 file deleted' <<< "$events" \
    || fail "no warning with the closing line of a run with failures: $events"
grep -q 'warn:eventlog:ReportEventW L"Refused  C:\\\\adm\\\\np.exe (not a folder)"' \
    <(grep -A1 'Run finished' <<< "$events") || fail "the warning does not name the failure"
[ ! -e "$drive/adm/Data/old.tmp" ] || fail "/run did not clear the folder"
passed=$((passed + 1))

# 2. /status: a daily schedule switched on whose last run, three days ago, had failures.
set_value StartStopState On
set_value Option4 True
set_value Option3 False
set_value 'Weekly Time' '9:00:00 AM'
set_value LastScheduledRun "$(date -d '3 days ago' +%Y-%m-%dT%H:%M:%S)"
set_value LastScheduledRunSummary "Run finished: 0 files deleted (0 bytes), 1 file could not be deleted, 0 folders sent to the Recycle Bin"
set_value LastScheduledRunProblems 1
code=0
ondrevan /status > "$drive/adm/status.txt" 2>/dev/null || code=$?
[ "$code" = 5 ] || fail "/status exited $code, not 5 (failures and overdue): $(cat "$drive/adm/status.txt")"
grep -q '^History file: C:\\.*\\Ondrevan.txt' "$drive/adm/status.txt" \
    || fail "/status does not name the history file: $(cat "$drive/adm/status.txt")"
set_value LastScheduledRun "$(date -d '1 hour ago' +%Y-%m-%dT%H:%M:%S)"
set_value LastScheduledRunProblems 0
code=0
ondrevan /status > /dev/null 2>&1 || code=$?
[ "$code" = 0 ] || fail "/status of a healthy schedule exited $code"
# A last run that does not read, or lies further ahead than a day (the running program takes
# one less far ahead for a run made before the clock was put back), is no healthy machine: 8.
for stamp in garbage 2026-02-30T00:00:00 "$(date -d '3 days' +%Y-%m-%dT%H:%M:%S)"; do
    set_value LastScheduledRun "$stamp"
    code=0
    ondrevan /status > "$drive/adm/status.txt" 2>/dev/null || code=$?
    [ "$code" = 8 ] && grep -q 'cannot be told' "$drive/adm/status.txt" \
        || fail "/status with the last run $stamp exited $code, not 8: $(cat "$drive/adm/status.txt")"
done
grep -q '^Ondrevan running for you: no' "$drive/adm/status.txt" \
    || fail "/status does not say whether Ondrevan runs: $(cat "$drive/adm/status.txt")"
passed=$((passed + 1))

# 2b. A /run the confirmation policy stops says so in the history and the Event Log (1006).
policy='HKCU\Software\Policies\Quillmere\Ondrevan'
wine reg add "$policy" /v Check1 /t REG_DWORD /d 1 /f > /dev/null 2>&1
code=0
WINEDEBUG=+eventlog,fixme+advapi ondrevan /run > /dev/null 2> "$drive/adm/debug.txt" || code=$?
wine reg delete "$policy" /f > /dev/null 2>&1 || true
[ "$code" = 3 ] || fail "/run under the confirmation policy exited $code, not 3"
grep -q 'ReportEventW ([^,]*,0x0002,0x0000,0x000003ee' "$drive/adm/debug.txt" \
    || fail "no warning 1006 for the run the policy stopped: $(grep eventlog "$drive/adm/debug.txt")"
passed=$((passed + 1))

# 3. Export, import into a fresh prefix, export again: the same settings, the same file.
set_value ProtectedFolders "$(printf 'C:\\keep\r\nC:\\also kept')"
set_value FolderRules "$(printf 'C:\\adm\\Data\tMinimumAgeDays=3')"
set_value KeepPatterns '*.keep; Grüße.txt'
ondrevan /export 'C:\adm\settings.txt' > /dev/null 2>&1 || fail "/export failed"
# The machine's own record of its runs stays behind.
record='^ +(LastScheduledRun|SwitchedOn|ClosedByExit)'
before=$(wine reg query "$key" 2>/dev/null | grep -avE "$record" | sort)
exported=$(cat "$drive/adm/settings.txt")
(
    export ONDREVAN_WINE=$ONDREVAN_BUILD/wine-fresh
    source "$here/../../tools/wine-env.sh"
    ondrevan_prepare_prefix
    ondrevan_copy_into_c "$program_dir" Ondrevan
    fresh=$WINEPREFIX/drive_c
    wine reg delete "$key" /f > /dev/null 2>&1 || true
    cp "$drive/adm/settings.txt" "$fresh/settings.txt"
    printf 'Check1=yes\r\n' >> "$fresh/settings.txt"
    code=0
    (cd "$fresh" && wine 'C:\Ondrevan\Ondrevan.exe' /import 'C:\settings.txt' > said.txt 2>&1) \
        || code=$?
    [ "$code" = 1 ] && grep -q 'Line [0-9]*: Check1: "yes" is not 1 or 0' "$fresh/said.txt" \
        || fail "a wrong line was not refused ($code): $(cat "$fresh/said.txt")"
    ! wine reg query "$key" > /dev/null 2>&1 || fail "a refused file changed the settings"
    cp "$drive/adm/settings.txt" "$fresh/settings.txt"
    (cd "$fresh" && wine 'C:\Ondrevan\Ondrevan.exe' /import 'C:\settings.txt' > /dev/null 2>&1) \
        || fail "/import of the exported file failed"
    after=$(wine reg query "$key" 2>/dev/null | sort)
    [ "$before" = "$after" ] || fail "the imported settings differ: $(diff <(echo "$before") <(echo "$after"))"
    (cd "$fresh" && wine 'C:\Ondrevan\Ondrevan.exe' /export 'C:\again.txt' > /dev/null 2>&1)
    cmp -s "$fresh/again.txt" "$drive/adm/settings.txt" || fail "exported again, the file differs"
    wineserver -k || true
) || exit 1
grep -q '^+C:\\also kept' <<< "$exported" || fail "the protected folders are not one a line"
! grep -qE '^(LastScheduledRun|SwitchedOn)' <<< "$exported" \
    || fail "the machine's record was exported: $(grep -E '^(Last|Switched)' <<< "$exported")"
passed=$((passed + 2))

# 4. Files as they come: UTF-16 with its mark (what PowerShell 5.1's ">" writes) reads; an
#    empty file imports nothing and fails; a folder given to /export is said to be one.
set_value Check1 0
printf 'Check1=1\r\n' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$drive/adm/utf16.txt"
code=0
ondrevan /import 'C:\adm\utf16.txt' > "$drive/adm/said.txt" 2>&1 || code=$?
[ "$code" = 0 ] || fail "/import of a UTF-16 file exited $code: $(cat "$drive/adm/said.txt")"
wine reg query "$key" /v Check1 2>/dev/null | grep -q 'REG_SZ *1' \
    || fail "the UTF-16 file's Check1 was not stored"
: > "$drive/adm/empty.txt"
code=0
ondrevan /import 'C:\adm\empty.txt' > "$drive/adm/said.txt" 2>&1 || code=$?
[ "$code" = 1 ] && grep -q 'holds no settings: nothing was imported' "$drive/adm/said.txt" \
    || fail "an empty file: exit $code, $(cat "$drive/adm/said.txt")"
code=0
ondrevan /export 'C:\adm' > "$drive/adm/said.txt" 2>&1 || code=$?
[ "$code" = 1 ] && grep -q 'C:\\adm: it is a folder' "$drive/adm/said.txt" \
    || fail "/export to a folder: exit $code, $(cat "$drive/adm/said.txt")"
passed=$((passed + 1))
wine reg delete "$key" /f > /dev/null 2>&1 || true
echo "administrator: events on the eventlog channel, /status 5 and 0, settings carried over, files as they come"
echo "$passed passed, 0 failed"
