#!/usr/bin/env bash
# Builds the Windows Installer package of the built program (build/win/Ondrevan):
#   tools/build-msi.sh OUT.msi [VERSION]
# VERSION defaults to the project's own, from CMakeLists.txt; the end-to-end suite passes a
# later one to build the package that must replace it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
source "$root/tools/release-common.sh"
version=${2:-$(ondrevan_version)}
program="$root/build/win/Ondrevan"
[ -f "$program/Ondrevan.exe" ] || { echo "build the program first: tools/build.sh win" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# wixl takes sources relative to its input files: gather everything beside them.
mkdir "$work/files"
cp -r "$program"/. "$work/files/"
cp "$root/resources/Ondrevan.ico" "$root/packaging/Ondrevan.wxs" "$work/"
ondrevan_windows_texts "$work/files" "$version"
# The sample folders, whatever they hold, as components of their own.
(cd "$work/files" && find Samples -type f | sort |
    wixl-heat -p Samples/ --directory-ref SAMPLES --component-group SampleFiles \
              --var var.SamplesDir --win64 | sed "s|\$(var.Win64)|yes|g" >"$work/samples.wxs")
mkdir -p "$(dirname "$out")"
(cd "$work" && wixl -a x64 -D Version="$version" -D ProgramDir=files -D TextDir=files \
     -D Icon=Ondrevan.ico -D SamplesDir=files/Samples -o "$out" Ondrevan.wxs samples.wxs)
