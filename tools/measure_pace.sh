#!/usr/bin/env bash
# measure_pace.sh [BUILD_DIR]: the program's pace in a real window under a
# private Xvfb (BUILD_DIR defaults to build/rel; it needs app/peakwend and
# tools/peakwend_xprobe):
#   - the first picture: milliseconds from start until the window shows it;
#   - the menu waiting for a key: CPU use of the process, in % of one core;
#   - one 100-second try at each animation speed (2, 5 and 8 ms a step):
#     wall time between the first and the last step against
#     steps x (delay + 1 ms), plus 201 ms for every zone-circle contact;
#   - the notes of the contacts of a try at each speed (the benchmark
#     BM_ContactNoteInGame, when BUILD_DIR has bench/peakwend_bench): when
#     they are heard after being sent, after the program drew the contact
#     and after the window showed it.
# The machine should be quiet: the load average is printed before and after.
# Environment: PACE_SCREEN (default 1920x1080), PACE_STARTS (first-picture
# runs, default 5), PACE_CPU_SECONDS (default 20), PACE_EXE (another
# executable to measure with the same probe).
set -u
build=${1:-build/rel}
exe=${PACE_EXE:-$build/app/peakwend}
probe=$build/tools/peakwend_xprobe
screen=${PACE_SCREEN:-1920x1080}
starts=${PACE_STARTS:-5}
cpu_seconds=${PACE_CPU_SECONDS:-20}
for f in "$exe" "$probe"; do
  [ -x "$f" ] || { echo "missing $f (build it: cmake --build $build)"; exit 2; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 2; }
exe=$(realpath "$exe") probe=$(realpath "$probe")
bench=$build/bench/peakwend_bench
[ -x "$bench" ] && bench=$(realpath "$bench")
work=$(mktemp -d)
. "$(dirname "$(realpath "$0")")/../tests/e2e/xvfb.sh"
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
cd "$work" || exit 1

# A white root: a window that has not drawn yet shows white.
start_xvfb "${screen}x24" -wr || exit 1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "screen: $screen (Xvfb), audio driver: $SDL_AUDIODRIVER"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

# --- First picture -----------------------------------------------------------
first_picture() {  # label, args...
  local label=$1; shift
  local all=()
  for _ in $(seq "$starts"); do
    ms=$("$probe" first-picture "$exe" "$@" 2>/dev/null | sed -n 's/^picture //p')
    [ -n "$ms" ] && all+=("$ms")
  done
  printf '%s\n' "${all[@]}" | sort -n | awk -v l="$label" '
    { v[NR] = $1 } END { if (NR == 0) { print l ": no picture"; exit }
      printf "first picture (%s): median %.0f ms, best %.0f ms, worst %.0f ms over %d starts\n",
             l, v[int((NR + 1) / 2)], v[1], v[NR], NR }'
}
first_picture "with the synthesizer" --midi auto
first_picture "--midi none" --midi none

# --- The menu waiting for a key -------------------------------------------------
menu_cpu() {  # label, args...
  local label=$1; shift
  "$exe" "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 10  # the title and the first layout
  local hz t0 t1
  hz=$(getconf CLK_TCK)
  t0=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  sleep "$cpu_seconds"
  t1=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  kill -TERM "$pid"; wait "$pid" 2>/dev/null
  awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s="$cpu_seconds" -v l="$label" \
    'BEGIN { printf "menu waiting for a key (%s): %.2f %% of a core over %d s\n", l, 100 * (b - a) / hz / s, s }'
}
menu_cpu "with the synthesizer" --midi auto
menu_cpu "--midi none" --midi none

# --- One try at each animation speed --------------------------------------------
# The layout of 09:00:07, started at x = 310 and aimed level to the right:
# a 100-second try with no zone-circle contact.
try_pace() {  # key for the speed choice (Left, none, Right), delay in ms
  local key=$1 delay=$2
  {
    printf 'idle\nkey Up\nkey Up\nkey Enter\nidle\n'
    [ "$key" != none ] && printf 'key %s\n' "$key"
    printf 'key Enter\nidle\nkey Down\nkey Down\nkey Enter\n'
    printf 'idle\nclick 310 493\nidle\ndrag 300 400 400 400\nidle\nclose\n'
  } > pace.script
  rm -f trace.fifo; mkfifo trace.fifo
  "$probe" stamp trace.fifo > stamped.csv &
  local stamper=$!
  "$exe" --midi none --time 09:00:07 --trace trace.fifo --script pace.script >/dev/null 2>&1
  wait "$stamper"
  awk -F, -v d="$delay" '
    NR > 1 && $2 == 1 {
      if (!seen) { t0 = $1; s0 = $3; seen = 1 }
      t1 = $1; s1 = $3
      if ($9 == 2 && $10 > 2 && $10 < 44) zones++
      if ($9 != 0) hits++
    }
    END {
      if (!seen) { print "delay " d " ms: no try was traced"; exit }
      steps = s1 - s0
      ideal = steps * (d + 1) + zones * 201
      printf "try at %d ms a step: %d steps, %d contacts (%d zone), %.0f ms against %.0f ms: %+.2f %%\n",
             d, steps, hits, zones, t1 - t0, ideal, 100 * (t1 - t0 - ideal) / ideal
    }' stamped.csv
}
try_pace Left 2
try_pace none 5
try_pace Right 8

# --- The notes of the contacts ----------------------------------------------
if [ -x "$bench" ] && [ -z "${PACE_EXE:-}" ]; then
  "$bench" --benchmark_filter=BM_ContactNoteInGame 2>/dev/null | awk '
    /^BM_ContactNoteInGame/ {
      split($1, name, "/"); line = "notes at " name[2] " ms a step:"
      for (i = 2; i <= NF; i++) if ($i ~ /=/) { split($i, kv, "="); v[kv[1]] = kv[2] }
      printf "%s %d notes, heard after sent %.1f ms (max %.1f), after the bounce drawn %.1f (max %.1f; %d before a 0.2 s pause), after the contact drawn %.1f (max %.1f), after shown %.1f (max %.1f), buffer %d frames\n",
        line, v["notes"], v["heard_after_sent_mean_ms"], v["heard_after_sent_max_ms"],
        v["heard_after_bounce_mean_ms"], v["heard_after_bounce_max_ms"], v["paused_notes"],
        v["heard_after_drawn_mean_ms"], v["heard_after_drawn_max_ms"],
        v["heard_after_shown_mean_ms"], v["heard_after_shown_max_ms"], v["buffer_frames"]
    }'
fi

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
