#!/usr/bin/env bash
# tools/soak.sh [--build DIR] [EVENTS [SEED]] [SOAK OPTIONS...]
# Plays the whole program headless with seeded random input (peakwend_soak)
# and reports what it survived. Without --build it builds the release build,
# as ./play does; with --build it uses the build already configured in DIR.
# EVENTS defaults to 1000000, SEED to one taken from the clock.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=""
if [ "${1:-}" = --build ]; then
  build=$2
  shift 2
  [ -f "$build/CMakeCache.txt" ] || { echo "tools/soak.sh: $build is not a configured build" >&2; exit 2; }
else
  "$root/tools/deps.sh" play
  build="$root/build/release"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DPEAKWEND_TESTS=OFF -DPEAKWEND_BENCH=OFF >/dev/null
fi
events=${1:-1000000}
seed=${2:-$(date +%s)}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift
cmake --build "$build" --target peakwend_soak -j "$(nproc)" >/dev/null
echo "soak: $events events with seed $seed ($build)"
exec "$build/tools/soak/peakwend_soak" --seed "$seed" --events "$events" "$@"
