#!/usr/bin/env bash
# run_script.sh PEAKWEND SCRIPT OUTDIR: runs SCRIPT headless inside OUTDIR and
# checks the exit code the script's "# exit N" line asks for (default 0), the
# files its "# file NAME" lines name, and "# stderr TEXT" lines.
set -u
exe=$1 script=$2 out=$3
rm -rf "$out" && mkdir -p "$out" && cd "$out" || exit 1
want=$(sed -n 's/^# exit \([0-9]*\)$/\1/p' "$script" | head -n1)
want=${want:-0}
args=$(sed -n 's/^# args \(.*\)$/\1/p' "$script" | head -n1)
# shellcheck disable=SC2086
"$exe" --headless --script "$script" $args >stdout.txt 2>stderr.txt
got=$?
status=0
if [ "$got" != "$want" ]; then
  echo "exit code $got, expected $want"; status=1
fi
while read -r f; do
  [ -s "$f" ] || { echo "missing output file $f"; status=1; }
done < <(sed -n 's/^# file \(.*\)$/\1/p' "$script")
while read -r t; do
  grep -qF -- "$t" stderr.txt || { echo "stderr lacks: $t"; status=1; }
done < <(sed -n 's/^# stderr \(.*\)$/\1/p' "$script")
if [ $status -ne 0 ]; then
  echo "--- stdout"; cat stdout.txt; echo "--- stderr"; cat stderr.txt
fi
exit $status
