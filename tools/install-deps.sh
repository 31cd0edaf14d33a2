#!/usr/bin/env bash
# Installs what building and testing Ondrevan needs on Debian 12. Idempotent:
# only missing packages are fetched. Works as root or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config git clang-format python3
  googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine fonts-liberation
  xvfb xauth xdotool x11-utils imagemagick faketime
  nsis zip unzip yamllint python3-yaml wixl msitools libxml2-utils osslsigncode openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
