#!/usr/bin/env bash
# window_test.sh PEAKWEND XCLOSE: starts the program in a real window under a
# private Xvfb, checks its caption and client size, closes it as a window
# manager would, and expects exit code 0.
set -u
exe=$1 xclose=$2
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }
disp=""
for n in $(seq 90 130); do
  if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then disp=":$n"; break; fi
done
[ -n "$disp" ] || { echo "no free display"; exit 1; }
Xvfb "$disp" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
export DISPLAY=$disp
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
SDL_AUDIODRIVER=dummy "$exe" --scale 2 --midi none &
pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --name '^Peakwend/T$' 2>/dev/null | head -n1)
  [ -n "$wid" ] && break
  sleep 0.1
done
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
