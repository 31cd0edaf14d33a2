#!/usr/bin/env bash
# Links made from the Linux side, inside the prefix's own C: drive and pointing only into
# it: under Wine a Linux symbolic link to a folder is a folder with the reparse-point bit.
# The RealLinks tests run only here, where the links exist.
#   links-check.sh PROGRAM_DIR TEST_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wine-env.sh"
ondrevan_prepare_prefix
drive_c="$WINEPREFIX/drive_c"
root="$drive_c/ondrevan-links"
rm -rf "$root"
mkdir -p "$root/Walk/Real" "$root/Links"
ln -s "$drive_c/windows" "$root/Walk/ToWindows"
# A folder holding a link to a folder nobody listed, and a Recycle Bin that takes nothing
# (its folder is a plain file): a shell that deletes instead would follow the link.
mkdir -p "$root/Holder/Inner" "$root/Outside"
printf canary > "$root/Outside/canary.txt"
ln -s "$root/Outside" "$root/Holder/Inner/ToOutside"
trash="$XDG_DATA_HOME/Trash"
rm -rf "$trash" && printf 'no Recycle Bin here' > "$trash"
for name in Windows SystemRoot ProgramFiles Profile CommonFiles AllUsers AppData; do
    mkdir -p "$root/Protected/$name"
    printf canary > "$root/Protected/$name/canary.txt"
    ln -s "$root/Protected/$name" "$root/Links/$name"
done
status=0
ONDREVAN_LINKS='C:\ondrevan-links' "$here/../../tools/wine-run.sh" --program-dir "$1" "$2" \
    --gtest_filter='RealLinks.*' || status=$?
rm -rf "$root" "$trash"
exit $status
