#!/usr/bin/env bash
# window_test.sh PEAKWEND XCLOSE: starts the program in a real window under a
# private Xvfb, checks its caption and client size, closes it as a window
# manager would, and expects exit code 0 and nothing on stderr.
set -u
exe=$(realpath "$1") xclose=$(realpath "$2")
. "$(dirname "$0")/xvfb.sh"
x_session xdotool xwininfo
err=err.txt
fail() { echo "FAIL: $*"; cat "$err"; exit 1; }
start_xvfb 1600x1200x24 || exit 1
SDL_AUDIODRIVER=dummy "$exe" --scale 2 --midi none 2>"$err" &
pid=$!
wid=$(wait_window Peakwend/T) || fail "no window captioned Peakwend/T"
wait_viewable "$wid" || fail "the window never appeared"
geo=$(xwininfo -id "$wid")
w=$(echo "$geo" | sed -n 's/^ *Width: //p'); h=$(echo "$geo" | sed -n 's/^ *Height: //p')
[ "$w" = 1280 ] && [ "$h" = 1008 ] || fail "client area ${w}x${h}, expected 1280x1008"
"$xclose" "$wid"
for _ in $(seq 150); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "still running 15 s after close"
wait $pid; code=$?
pid=""
[ "$code" = 0 ] || fail "exit code $code"
[ -s "$err" ] && fail "printed on stderr"
echo "ok"
