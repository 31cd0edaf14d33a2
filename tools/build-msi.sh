#!/usr/bin/env bash
# Builds the Windows Installer package of the built program (build/win/Ondrevan, or the folder
# ONDREVAN_PROGRAM_DIR names):
#   tools/build-msi.sh OUT.msi [VERSION]
# VERSION defaults to the project's own, from CMakeLists.txt; the end-to-end suite passes a
# later one to build the package that must replace it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
source "$root/tools/release-common.sh"
version=${2:-$(ondrevan_version)}
program=${ONDREVAN_PROGRAM_DIR:-$root/build/win/Ondrevan}
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
# The size "Apps & features" shows, in KB.
size_kb=$(find "$work/files" -type f -printf '%s\n' | awk '{s += $1} END {print int((s + 1023) / 1024)}')
mkdir -p "$(dirname "$out")"
(cd "$work" && wixl -a x64 -D Version="$version" -D ProgramDir=files -D TextDir=files \
     -D Icon=Ondrevan.ico -D SamplesDir=files/Samples -D SizeKB="$size_kb" \
     -o "$out" Ondrevan.wxs samples.wxs)
# wixl cannot make a version range that includes its maximum: the same version is one to
# replace (768: the minimum and the maximum both included). Attributes are part of the
# table's key, so the row is written anew.
upgrade_code=$(sed -n 's/.*<Upgrade Id="\([^"]*\)".*/\1/p' "$root/packaging/Ondrevan.wxs")
msibuild "$out" -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'" \
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('{$upgrade_code}', '0.0.0', '$version', 768, 'WIX_UPGRADE_DETECTED')"
# wixl writes every action that runs a program as one found through a property (type 50);
# CloseRunningCopy runs the program stored in the Binary table (type 2), whatever is
# installed, so that it closes a running copy before an install as before an uninstall.
msibuild "$out" -q "UPDATE \`CustomAction\` SET \`Type\` = 2 WHERE \`Action\` = 'CloseRunningCopy'"
