#!/usr/bin/env bash
# Configures and builds one of the two builds: build.sh native|win
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=$1
shift
case $kind in
    native)
        cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
              -DONDREVAN_WARNINGS_AS_ERRORS=ON -DONDREVAN_SANITIZE=ON "$@" >/dev/null ;;
    win)
        cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
              -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
              -DONDREVAN_WARNINGS_AS_ERRORS=ON "$@" >/dev/null ;;
    *) echo "usage: $0 native|win" >&2; exit 2 ;;
esac
cmake --build "$root/build/$kind"
