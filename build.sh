#!/usr/bin/env bash
# Builds everything: the native tools and tests, both Windows launchers and
# the Win32 tests. The products land in build/bin.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/bootstrap.sh

root=$PWD
jobs=$(nproc)
cmake -S . -B build/native -G Ninja -DSFX_LAUNCHER_DIR="$root/build/bin" >/dev/null
cmake --build build/native -j "$jobs"

for arch in x86_64 i686; do
  cmake -S . -B "build/win-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
        -DSFX_NATIVE_DIR="$root/build/native" >/dev/null
  cmake --build "build/win-$arch" -j "$jobs"
done

mkdir -p build/bin
cp build/native/sfxpack build/win-x86_64/launcher-x86_64.exe build/win-i686/launcher-i686.exe build/bin/
for arch in i686 x86_64; do
  echo "launcher-$arch.exe: $(stat -c %s "build/bin/launcher-$arch.exe") bytes"
done
