#!/usr/bin/env bash
# run_fuzz.sh TARGET SEEDS WORK SECONDS [keep]: fuzzes TARGET for SECONDS from
# the seed corpus SEEDS. New inputs go to WORK/corpus (emptied first unless
# "keep"), a crashing input to WORK/; the run's figures are printed.
set -u
exe=$1 seeds=$2 work=$3 seconds=$4 keep=${5:-}
[ "$keep" = keep ] || rm -rf "$work/corpus"
mkdir -p "$work/corpus"
log="$work/log.txt"
# Stack-use-after-return checks stay with the tests: here they would cost
# three quarters of the runs, spent collecting fake stacks at every throw.
export ASAN_OPTIONS="detect_stack_use_after_return=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
"$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$seeds" >"$log" 2>&1
code=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n1)
echo "$(basename "$exe"): ${runs:-?} runs in ${seconds} s, ${cov:-cov: ?}" | tee "$work/summary.txt"
if [ $code -ne 0 ]; then
  tail -n 60 "$log"
  ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null
fi
exit $code
