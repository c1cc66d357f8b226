#!/usr/bin/env bash
# real_game_test.sh PEAKWEND XGRAB: the program in a real window under a private
# Xvfb. Waits until the window shows the same menu as a headless run, sends
# keys with xdotool to choose "End", and expects exit code 0.
set -u
exe=$(realpath "$1") xgrab=$(realpath "$2")
. "$(dirname "$0")/xvfb.sh"
x_session xdotool xwininfo
printf 'idle\nshot menu.png\nkey Up\nidle\nshot menu-end.png\nclose\n' > ref.script
"$exe" --headless --midi none --time 09:00:07 --script ref.script || { echo "headless run failed"; exit 1; }
start_xvfb 1280x1024x24 || exit 1
SDL_AUDIODRIVER=dummy "$exe" --scale 1 --midi none --time 09:00:07 &
pid=$!
fail() {
  echo "FAIL: $*"
  cp window.png /tmp/peakwend-real-window.png 2>/dev/null
  exit 1
}
# until_shows SECONDS PICTURE: waits until the window shows PICTURE.
until_shows() {
  for _ in $(seq $(($1 * 10))); do "$xgrab" "$wid" window.png --match "$2" && return 0; sleep 0.1; done
  return 1
}
wid=$(wait_window Peakwend/T) || fail "no window"
wait_viewable "$wid" || fail "the window never appeared"
# The title and the first layout take a few seconds of real time.
until_shows 30 menu.png || fail "the window never showed the headless menu picture"
xdo windowfocus --sync "$wid"
# The game forgets keys typed ahead each time it starts waiting: a key that
# came just before is pressed again once it is clear that it was lost.
moved=0
for _ in 1 2 3; do
  xdo key --window "$wid" Up
  until_shows 5 menu-end.png && { moved=1; break; }
done
[ $moved = 1 ] || fail "Up did not move to End"
# Only the press: it ends the program, and its window with it, so a
# release would be sent to a window that is gone.
for _ in 1 2 3; do
  xdo keydown --window "$wid" Return
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null || break
done
kill -0 $pid 2>/dev/null && fail "End did not end the program"
wait $pid; code=$?
pid=""
[ "$code" = 0 ] || fail "exit code $code"
echo "ok"
