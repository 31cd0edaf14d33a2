#!/usr/bin/env bash
# Runs a Windows test executable under Wine from inside the private prefix's C: drive:
#   wine-run.sh --program-dir DIR EXE [ARGS...]
# The program folder DIR is copied to C:\Ondrevan and the executable to C:\ondrevan-tests.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

[ "$1" = "--program-dir" ] || { echo "usage: $0 --program-dir DIR EXE [ARGS...]" >&2; exit 2; }
program_dir=$2
exe=$3
shift 3
# A folder that is not the program's own would be copied whole into the prefix.
[ -n "$program_dir" ] && [ -f "$program_dir/Ondrevan.exe" ] ||
    { echo "$0: $program_dir holds no Ondrevan.exe" >&2; exit 2; }

ondrevan_prepare_prefix
ondrevan_copy_into_c "$program_dir" Ondrevan
mkdir -p "$WINEPREFIX/drive_c/ondrevan-tests"
cp "$exe" "$WINEPREFIX/drive_c/ondrevan-tests/"
export ONDREVAN_PROGRAM='C:\Ondrevan\Ondrevan.exe'
cd "$WINEPREFIX/drive_c"
wine "C:\\ondrevan-tests\\$(basename "$exe")" "$@"
