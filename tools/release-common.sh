# Sourced by the scripts that package the release (release.sh, build-msi.sh, the end-to-end
# suite's run.sh): what they all take from the source tree.
release_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The version, from the one place it is set: CMakeLists.txt.
ondrevan_version() {
    local version
    version=$(sed -nE 's/^project\(Ondrevan VERSION ([0-9.]+).*/\1/p' "$release_root/CMakeLists.txt")
    [ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; return 1; }
    echo "$version"
}

# The read-me and the licence as Windows text files (CRLF line ends) in a folder:
#   ondrevan_windows_texts FOLDER VERSION
ondrevan_windows_texts() {
    sed -e "s/@VERSION@/$2/g" -e 's/$/\r/' "$release_root/packaging/ReadMe.txt" >"$1/ReadMe.txt"
    sed -e 's/$/\r/' "$release_root/LICENSE" >"$1/LICENSE.txt"
}
