#!/usr/bin/env bash
# Folder mode under Wine: the folder must land in the Trash (Wine's Recycle Bin) with its
# sub-folders, while the files that lay directly in it were deleted outright.
#   recycle-bin-check.sh PROGRAM_DIR TEST_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wine-env.sh"
trash="$XDG_DATA_HOME/Trash"
rm -rf "$trash"
"$here/../../tools/wine-run.sh" --program-dir "$1" "$2" \
    --gtest_filter='RealDeletion.FolderModeDeletesTheFilesOutrightAndRecyclesTheFolder'
recycled=$(find "$trash/files" -maxdepth 1 -name 'FolderMode*' | head -1)
fail() { echo "recycle bin: $*"; echo "1 passed, 1 failed"; exit 1; }
[ -n "$recycled" ] || fail "the folder is not in the Trash"
[ -f "$recycled/Sub/kept.txt" ] || fail "its sub-folder did not go with it"
[ ! -e "$recycled/a.txt" ] || fail "a file that lay directly in it was recycled, not deleted"
echo "recycle bin: the folder is in the Trash with its sub-folder, its own files are gone"
