#!/usr/bin/env bash
# close_loop.sh PEAKWEND XCLOSE [N]: starts the program N times (default 5)
# under one private Xvfb with openbox and closes its window at a different
# moment each time: by Alt+F4 through the window manager, and every third
# time by destroying the window from outside; every other time the X server
# stalls for a moment just after. Every run must end with exit code 0 and
# print nothing (no X error). Run it by hand with a larger N
# under load: tests/e2e/close_loop.sh build/dev/app/peakwend build/dev/tests/xclose 100
set -u
exe=$(realpath "$1") xclose=$(realpath "$2") n=${3:-5}
. "$(dirname "$0")/xvfb.sh"
x_session openbox xdotool xwininfo xprop
start_xvfb 1300x1040x24 || exit 1
start_wm wm.log || { echo "the window manager did not start: $(cat wm.log)"; exit 1; }

failures=0
for i in $(seq "$n"); do
  how="Alt+F4"
  [ $((i % 3)) = 0 ] && how="destroy"
  SDL_AUDIODRIVER=dummy "$exe" --midi none --time 09:00:07 >out.txt 2>err.txt &
  pid=$!
  problem=""
  if ! wid=$(wait_window Peakwend/T); then
    problem="no window"
  elif ! wait_active "$wid"; then
    problem="the window never got the focus"
  else
    # From at once to most of a second later: during the start, the title.
    sleep "0.$(((i * 37) % 10))"
    if [ "$how" = destroy ]; then "$xclose" "$wid" --destroy; else xdo key alt+F4; fi
    # Every other time the X server stalls as on a loaded machine, so that
    # what the program sends in answer arrives at once, in any order.
    if [ $((i % 2)) = 0 ]; then
      sleep "0.0$(((i * 3) % 10))"
      kill -STOP "$xvfb_pid"; sleep 0.3; kill -CONT "$xvfb_pid"
    fi
    for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && problem="still running 30 s after the close"
  fi
  [ -n "$problem" ] && kill "$pid" 2>/dev/null
  wait "$pid"; code=$?
  pid=""
  [ -z "$problem" ] && [ "$code" != 0 ] && problem="exit code $code"
  [ -z "$problem" ] && [ -s err.txt ] && problem="printed on stderr"
  if [ -n "$problem" ]; then
    failures=$((failures + 1))
    echo "run $i ($how): $problem"
    sed 's/^/  /' err.txt
  fi
done
echo "$((n - failures)) of $n closes clean"
[ $failures = 0 ]
