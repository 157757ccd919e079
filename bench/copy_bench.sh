#!/usr/bin/env bash
# Builds and runs the copy benchmark under Wine, on the prefix's C: drive (disk) and on a memory
# file system (Z:\dev\shm). Extra arguments go to copy_bench (for example --rounds 2).
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

ensure_packages
build
EXE=$BUILD/bench/copy_bench.exe
if [ ! -f "$EXE" ]; then  # the benchmarks are not part of the main build: build them on their own
  cmake -S "$ROOT/bench" -B "$BUILD/bench-alone" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$BUILD/bench-alone" --target copy_bench -- --quiet
  EXE=$BUILD/bench-alone/copy_bench.exe
fi
trap stop_wine EXIT
start_wine
echo "== on the disk (C:)"
"$WINE" "$EXE" "$@"
if [ -d /dev/shm ]; then
  echo "== in memory (Z:\\dev\\shm)"
  "$WINE" "$EXE" 'Z:\dev\shm' "$@"
fi
