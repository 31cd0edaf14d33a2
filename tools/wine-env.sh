# Sourced by the scripts that run Ondrevan under Wine. Gives them a private Wine prefix
# under the build folder, made safe for programs that delete files:
#  - no Z: drive, so nothing outside the prefix's own C: drive is reachable;
#  - the profile's folders are real folders, not links into a home directory;
#  - HOME and XDG_DATA_HOME (where Wine's Recycle Bin lands) point inside the build folder.
ondrevan_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ONDREVAN_BUILD=${ONDREVAN_BUILD:-$ondrevan_root/build}
# A script that needs a Wine world of its own (the release checks) names another folder.
export ONDREVAN_WINE=${ONDREVAN_WINE:-$ONDREVAN_BUILD/wine}
export WINEPREFIX=$ONDREVAN_WINE/prefix
export HOME=$ONDREVAN_WINE/home
export XDG_DATA_HOME=$ONDREVAN_WINE/xdg-data
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
mkdir -p "$HOME" "$XDG_DATA_HOME"

ondrevan_prepare_prefix() {
    if [ ! -f "$WINEPREFIX/.ondrevan-ready" ]; then
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        # The user folders Wine links into $HOME become plain folders of the prefix.
        for link in "$WINEPREFIX"/drive_c/users/*/*; do
            if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
        done
        touch "$WINEPREFIX/.ondrevan-ready"
    fi
    # Cut the prefix off from the machine's own file system.
    rm -f "$WINEPREFIX/dosdevices/z:"
}

# Copies a folder into the prefix's C: drive: copy_into_c SOURCE NAME -> C:\NAME
ondrevan_copy_into_c() {
    [ -n "$1" ] && [ -n "$2" ] && [ "$(cd "$1" && pwd)" != / ] ||
        { echo "ondrevan_copy_into_c: nothing or the root to copy" >&2; return 2; }
    rm -rf "${WINEPREFIX:?}/drive_c/$2"
    mkdir -p "$WINEPREFIX/drive_c/$2"
    cp -r "$1"/. "$WINEPREFIX/drive_c/$2/"
}

# Installs what is missing, builds the Windows build and stages the program at
# C:\Ondrevan in the prepared prefix; the scripts that run it start here.
ondrevan_build_and_stage() {
    "$ondrevan_root/tools/install-deps.sh"
    "$ondrevan_root/tools/build.sh" win
    ondrevan_prepare_prefix
    ondrevan_copy_into_c "$ondrevan_root/build/win/Ondrevan" Ondrevan
}
