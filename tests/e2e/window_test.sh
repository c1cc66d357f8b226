#!/usr/bin/env bash
# window_test.sh PEAKWEND XCLOSE: starts the program in a real window under a
# private Xvfb, checks its caption and client size, closes it as a window
# manager would, and expects exit code 0.
set -u
exe=$1 xclose=$2
. "$(dirname "$0")/xvfb.sh"
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill $xvfb_pid 2>/dev/null; wait 2>/dev/null' EXIT
start_xvfb 1600x1200x24 || exit 1
SDL_AUDIODRIVER=dummy "$exe" --scale 2 --midi none &
pid=$!
wid=$(wait_window Peakwend/T)
status=0
if [ -z "$wid" ]; then
  echo "no window captioned Peakwend/T"; status=1
else
  geo=$(xwininfo -id "$wid")
  w=$(echo "$geo" | sed -n 's/^ *Width: //p'); h=$(echo "$geo" | sed -n 's/^ *Height: //p')
  if [ "$w" != 1280 ] || [ "$h" != 1008 ]; then echo "client area ${w}x${h}, expected 1280x1008"; status=1; fi
  "$xclose" "$wid"
fi
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "still running after close"; kill $pid; status=1; fi
wait $pid; code=$?
[ "$code" = 0 ] || { echo "exit code $code"; status=1; }
exit $status
