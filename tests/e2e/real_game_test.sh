#!/usr/bin/env bash
# real_game_test.sh PEAKWEND XGRAB: the program in a real window under a private
# Xvfb. Waits until the window shows the same menu as a headless run, sends
# keys with xdotool to choose "End", and expects exit code 0.
set -u
exe=$1 xgrab=$2
work=$(mktemp -d)
. "$(dirname "$0")/xvfb.sh"
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
printf 'idle\nshot menu.png\nclose\n' > ref.script
"$exe" --headless --midi none --time 09:00:07 --script ref.script || { echo "headless run failed"; exit 1; }
start_xvfb 1280x1024x24 || exit 1
SDL_AUDIODRIVER=dummy "$exe" --scale 1 --midi none --time 09:00:07 &
pid=$!
wid=$(wait_window Peakwend/T)
[ -n "$wid" ] || { echo "no window"; kill $pid; exit 1; }
# The title and the first layout take a few seconds of real time.
same=0
for _ in $(seq 300); do
  if "$xgrab" "$wid" window.png --match menu.png; then same=1; break; fi
  sleep 0.1
done
status=0
if [ $same = 0 ]; then
  echo "the window never showed the headless menu picture"; status=1
  cp window.png /tmp/peakwend-real-window.png 2>/dev/null
fi
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key --window "$wid" Up
sleep 0.3
xdotool key --window "$wid" Return
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "End did not end the program"; kill $pid; status=1; fi
wait $pid; code=$?
[ "$code" = 0 ] || { echo "exit code $code"; status=1; }
exit $status
