#!/usr/bin/env bash
# fuzz.sh TARGET|all [SECONDS]: fuzzes one target (or each in turn) for
# SECONDS (default 60) in the sanitizer build. What a run learns is kept in
# build/asan/fuzz/long/TARGET/corpus for the next run; a crashing input is
# left beside it as crash-*, to become a regression test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
targets=$(cd "$root/fuzz" && ls ./*_fuzz.cpp | sed 's|^\./||; s|_fuzz\.cpp$||')
usage() {
  echo "usage: tools/fuzz.sh TARGET|all [SECONDS]"
  echo "targets:" $targets
  exit 2
}
[ $# -ge 1 ] && [ $# -le 2 ] || usage
want=$1 seconds=${2:-60}
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
if [ "$want" = all ]; then
  run=$targets
else
  echo "$targets" | grep -qx -- "$want" || usage
  run=$want
fi
"$root/tools/deps.sh" test
# shellcheck disable=SC2086
"$root/tools/sanitize_build.sh" $(for t in $run; do echo "fuzz_$t"; done)
status=0
for t in $run; do
  "$root/fuzz/run_fuzz.sh" "$root/build/asan/fuzz/fuzz_$t" "$root/fuzz/corpus/$t" \
    "$root/build/asan/fuzz/long/$t" "$seconds" keep || status=1
done
exit $status
