#!/usr/bin/env bash
# sanitize_build.sh [TARGET...]: configures build/asan (clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, the fuzz targets) and builds TARGETs, or all.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/asan"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DPEAKWEND_WERROR=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DPEAKWEND_SANITIZE=ON -DPEAKWEND_FUZZ=ON -DPEAKWEND_BENCH=OFF >/dev/null
if [ $# -eq 0 ]; then
  cmake --build "$build" -j "$(nproc)"
else
  cmake --build "$build" -j "$(nproc)" --target "$@"
fi
