#!/usr/bin/env bash
# measure_pace.sh [BUILD_DIR...]: the program's pace and CPU use in a real
# window under a private Xvfb (BUILD_DIR defaults to build/rel; it needs
# app/peakwend). Several build folders are measured one after the other in
# the same run, each line prefixed with its folder's name: before and after
# a change, on the same machine state. All are measured with the last
# folder's tools/peakwend_xprobe.
# With the synthesizer on unless said otherwise, at the default scale (the
# largest that fits the screen):
#   - the first picture: milliseconds from start until the window shows it;
#   - CPU use, in % of one core, of the whole process and of its window
#     thread: the title animation, the menu waiting for a key, a try at each
#     animation speed (2, 5 and 8 ms a step), a try at scale 3, and the tree
#     ending after a won game (tries without the trace the pace needs);
#   - one 100-second try at each animation speed: wall time between the
#     first and the last step against steps x (delay + 1 ms), plus 201 ms for
#     every zone-circle contact;
#   - the error of WAIT1(5) over 1000 calls (the benchmark BM_BusyWait5ms),
#     and how late a clock poll that sleeps wakes after its millisecond
#     starts (BM_ClockPollSleepsToNextMillisecond: the machine's own sleep);
#   - the notes of the contacts of a try at each speed (the benchmark
#     BM_ContactNoteInGame): when they are heard after being sent, after the
#     program drew the contact and after the window showed it.
# The benchmarks run when BUILD_DIR has bench/peakwend_bench.
# The machine should be quiet: the load average is printed before and after.
# Environment: PACE_SCREEN (default 1920x1080), PACE_STARTS (first-picture
# runs, default 5), PACE_CPU_SECONDS (default 20), PACE_CPU_REPEATS (runs
# of each animation's CPU, of which the median is reported; default 3).
set -u
[ $# -eq 0 ] && set -- build/rel
screen=${PACE_SCREEN:-1920x1080}
starts=${PACE_STARTS:-5}
cpu_seconds=${PACE_CPU_SECONDS:-20}
repeats=${PACE_CPU_REPEATS:-3}
probe=$(realpath "${!#}/tools/peakwend_xprobe")
for f in "$probe" "${@/%//app/peakwend}"; do
  [ -x "$f" ] || { echo "missing $f (build it with cmake --build)"; exit 2; }
done
builds=() labels=("$@")
for build in "$@"; do builds+=("$(realpath "$build")"); done
. "$(dirname "$(realpath "$0")")/../tests/e2e/xvfb.sh"
x_session

# A white root: a window that has not drawn yet shows white.
start_xvfb "${screen}x24" -wr || exit 1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "screen: $screen (Xvfb), audio driver: $SDL_AUDIODRIVER"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

measure() {  # BUILD_DIR: everything, for one build
  exe=$1/app/peakwend bench=$1/bench/peakwend_bench
  add() { awk -v a="$1" -v b="$2" -v c="${3:-0}" 'BEGIN { printf "%.1f", a + b + c }'; }

  # run_sampled ARGS...: runs the program with the CPU of it and of its window
  # thread sampled into cpu.csv (see xprobe cpu).
  run_sampled() {
    "$exe" "$@" >/dev/null 2>&1 &
    local pid=$!
    "$probe" cpu "$pid" > cpu.csv &
    local sampler=$!
    wait "$pid"
    wait "$sampler"
  }

  # run_traced TIME SCRIPT: run_sampled with the trace, each line stamped with
  # the time it came, into stamped.csv (see xprobe stamp).
  run_traced() {
    rm -f trace.fifo; mkfifo trace.fifo
    "$probe" stamp trace.fifo > stamped.csv &
    local stamper=$!
    run_sampled --midi auto --time "$1" --trace trace.fifo --script "$2"
    wait "$stamper"
  }

  # cpu_share FROM_MS TO_MS: "ALL WINDOW", % of a core between two monotonic
  # times, from cpu.csv.
  cpu_share() {
    awk -F, -v a="$1" -v b="$2" '
      { t[NR] = $1; c[NR] = $2; w[NR] = $3 }
      END {
        for (i = 1; i <= NR; i++) { if (t[i] >= a && !i0) i0 = i; if (t[i] <= b) i1 = i }
        if (!i0 || i1 <= i0) { print "? ?"; exit }
        s = t[i1] - t[i0]
        printf "%.2f %.2f\n", 100 * (c[i1] - c[i0]) / s, 100 * (w[i1] - w[i0]) / s
      }' cpu.csv
  }

  print_cpu() {  # label, "ALL WINDOW"
    set -- "$1" $2
    printf 'cpu %s: %s %% of a core (window thread %s %%)\n' "$1" "$2" "$3"
  }

  # median_cpu LABEL COMMAND...: COMMAND prints "ALL WINDOW"; it runs
  # $repeats times, and the run with the middle ALL is printed, then every
  # run's ALL (one run's figure moves with the machine's state).
  median_cpu() {
    local label=$1; shift
    local runs=()
    for _ in $(seq "$repeats"); do runs+=("$("$@")"); done
    printf '%s\n' "${runs[@]}" | sort -g | awk -v l="$label" '
      { all[NR] = $1; window[NR] = $2; list = list (NR > 1 ? ", " : "") $1 }
      END { m = int((NR + 1) / 2)
            printf "cpu %s: %s %% of a core (window thread %s %%); runs %s\n", l, all[m], window[m], list }'
  }

  # The title: from half a second after the start (the window is up) to 2 s.
  title_cpu() {
    printf 'wait 4000\nclose\n' > title.script
    run_sampled --midi auto --time 09:00:07 --script title.script
    local start; start=$(head -n1 cpu.csv | cut -d, -f1)
    cpu_share "$(add "$start" 500)" "$(add "$start" 2000)"
  }
  median_cpu "title animation" title_cpu

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
    printf 'idle\nwait %d\nclose\n' $((cpu_seconds * 1000 + 2000)) > menu.script
    run_sampled "$@" --script menu.script
    local t1; t1=$(tail -n1 cpu.csv | cut -d, -f1)
    print_cpu "menu waiting for a key ($label)" \
      "$(cpu_share "$(add "$t1" -1000 "-$((cpu_seconds * 1000))")" "$(add "$t1" -1000)")"
  }
  menu_cpu "with the synthesizer" --midi auto
  menu_cpu "--midi none" --midi none

  # --- One try at each animation speed --------------------------------------------
  # The layout of 09:00:07, started at x = 310 and aimed level to the right:
  # a 100-second try with no zone-circle contact. Each speed runs twice: with
  # the trace for the pace, then without it for the CPU (writing the trace
  # costs time a player's game does not spend), over the time the first run
  # took from the start to its first and last steps, less 300 ms each end.
  try_script() {  # key for the speed choice (Left, none, Right)
    printf 'idle\nkey Up\nkey Up\nkey Enter\nidle\n'
    [ "$1" != none ] && printf 'key %s\n' "$1"
    printf 'key Enter\nidle\nkey Down\nkey Down\nkey Enter\n'
    printf 'idle\nclick 310 493\nidle\ndrag 300 400 400 400\nidle\nclose\n'
  }
  try_pace() {  # key, delay in ms
    local key=$1 delay=$2
    try_script "$key" > pace.script
    run_traced 09:00:07 pace.script
    local start; start=$(head -n1 cpu.csv | cut -d, -f1)
    try_from=$(awk -F, -v s="$start" 'NR > 1 && $2 == 1 { print $1 - s; exit }' stamped.csv)
    try_to=$(awk -F, -v s="$start" 'NR > 1 && $2 == 1 { t = $1 - s } END { print t }' stamped.csv)
    median_cpu "try at $delay ms a step" try_cpu "$key"
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
        printf "pace at %d ms a step: %d steps, %d contacts (%d zone), %.0f ms against %.0f ms: %+.2f %%\n",
               d, steps, hits, zones, t1 - t0, ideal, 100 * (t1 - t0 - ideal) / ideal
      }' stamped.csv
  }
  try_cpu() {  # key, args...: the try of the last try_pace, untraced
    local key=$1; shift
    [ -n "$try_from" ] || { echo "? ?"; return; }
    try_script "$key" > cpu.script
    run_sampled --midi auto --time 09:00:07 --script cpu.script "$@"
    local start; start=$(head -n1 cpu.csv | cut -d, -f1)
    cpu_share "$(add "$start" "$try_from" 300)" "$(add "$start" "$try_to" -300)"
  }
  try_pace Left 2
  try_pace none 5
  local five_from=$try_from five_to=$try_to
  try_pace Right 8
  try_from=$five_from try_to=$five_to
  median_cpu "try at 5 ms a step, --scale 3" try_cpu none --scale 3

  # --- The tree ending after a won game ---------------------------------------------
  # The layout of 09:00:23, started at x = 310 and aimed straight up, wins in
  # the third try; the ending's trees grow for about 4 s after the goal.
  # The trace only marks the goal: no steps are traced while the trees grow.
  ending_cpu() {
    {
      printf 'idle\nkey Enter\nidle\nclick 310 493\n'
      printf 'idle\ndrag 300 400 300 300\n%.0s' 1 2 3
      printf 'idle\nclose\n'
    } > ending.script
    run_traced 09:00:23 ending.script
    local goal; goal=$(tail -n1 stamped.csv | cut -d, -f1)
    cpu_share "$(add "$goal" 1300)" "$(add "$goal" 4800)"
  }
  median_cpu "tree ending" ending_cpu

  # --- WAIT1(5) ---------------------------------------------------------------------
  if [ -x "$bench" ]; then
    "$bench" --benchmark_filter=BM_BusyWait5ms 2>/dev/null | awk '
      /^BM_BusyWait5ms/ {
        for (i = 2; i <= NF; i++) if ($i ~ /=/) { split($i, kv, "="); v[kv[1]] = kv[2] }
        printf "WAIT1(5) over 1000 calls: %.2f ms late on average, %.2f ms at worst, CPU %s %s for %s %s\n",
          v["mean_overshoot_ms"], v["max_overshoot_ms"], $4, $5, $2, $3
      }'
    "$bench" --benchmark_filter=BM_ClockPollSleepsToNextMillisecond 2>/dev/null | awk '
      /^BM_ClockPollSleeps/ {
        for (i = 2; i <= NF; i++) if ($i ~ /=/) { split($i, kv, "="); v[kv[1]] = kv[2] }
        printf "a clock poll that sleeps, over 5000: awake %.3f ms after its millisecond starts on average, %.3f ms at worst, CPU %s %s each\n",
          v["mean_late_ms"], v["max_late_ms"], $4, $5
      }'
  fi

  # --- The notes of the contacts ----------------------------------------------
  if [ -x "$bench" ]; then
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
}

for i in "${!builds[@]}"; do
  if [ ${#builds[@]} -gt 1 ]; then
    measure "${builds[i]}" 2>&1 | sed "s|^|[${labels[i]}] |"
  else
    measure "${builds[i]}"
  fi
done

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
