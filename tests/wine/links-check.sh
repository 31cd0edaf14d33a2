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
# Links to files in a listed folder: to a file of the Windows folder, of a protected folder,
# of another listed folder, and to a file the rules keep; one tree for each delete mode.
for tree in FileLinksContents FileLinksFolder FileLinksRecycle; do
    list="$root/$tree/List"
    mkdir -p "$list" "$root/$tree/Guarded" "$root/$tree/Other"
    printf victim > "$drive_c/windows/ondrevan-$tree.txt"
    printf guarded > "$root/$tree/Guarded/guarded.txt"
    printf other > "$root/$tree/Other/other.txt"
    printf keep > "$list/important.keep"
    printf plain > "$list/plain.txt"
    ln -s "$drive_c/windows/ondrevan-$tree.txt" "$list/a.txt"
    ln -s "$root/$tree/Guarded/guarded.txt" "$list/b.txt"
    ln -s "$root/$tree/Other/other.txt" "$list/c.txt"
    ln -s "$list/important.keep" "$list/k.txt"
done
# A folder that a link takes the place of while it is cleared (when the test says "go"),
# and the folder with the same names that the link leads to.
swap="$root/Swap"
mkdir -p "$swap/List" "$swap/Elsewhere"
for i in $(seq 1 200); do printf x > "$swap/List/f$i.txt"; printf y > "$swap/Elsewhere/f$i.txt"; done
# It looks for the word until the test says it or this script ends: the test decides how
# long it waits for the swap.
(
    until [ -e "$swap/go" ]; do sleep 0.1; done
    mv "$swap/List" "$swap/List-moved" && ln -s "$swap/Elsewhere" "$swap/List"
    touch "$swap/done"
) &
swapper=$!
status=0
ONDREVAN_LINKS='C:\ondrevan-links' "$here/../../tools/wine-run.sh" --program-dir "$1" "$2" \
    --gtest_filter='RealLinks.*' || status=$?
# The links to files are also sent to a Recycle Bin that takes what it is given.
rm -f "$trash" && mkdir -p "$trash"
ONDREVAN_LINKS='C:\ondrevan-links' "$here/../../tools/wine-run.sh" --program-dir "$1" "$2" \
    --gtest_filter='RealFileLinks.*' || status=$?
kill $swapper 2>/dev/null || true
rm -rf "$root" "$trash" "$drive_c"/windows/ondrevan-FileLinks*.txt
exit $status
