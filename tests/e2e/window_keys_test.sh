#!/usr/bin/env bash
# window_keys_test.sh PEAKWEND XGRAB XCLOSE: the window keys in a real window
# under a private Xvfb with a window manager (openbox). Checks the default
# scale (the largest that fits the desktop with the window's frame), that F11 and Alt+Enter toggle a
# fullscreen picture at a whole-number scale, centred on black, that F12
# saves the picture and prints where, and that none of these keys reaches
# the program: they are pressed while the Best-20 screen waits for any key.
# The menu is driven from the keypad (NumLock off), as with the cursor keys.
set -u
exe=$(realpath "$1") xgrab=$(realpath "$2") xclose=$(realpath "$3")
. "$(dirname "$0")/xvfb.sh"
x_session openbox xdotool xwininfo
fail() {
  echo "FAIL: $*"
  kill -0 "$wm" 2>/dev/null || echo "the window manager has gone"
  cat wm.log 2>/dev/null
  for w in $(xdotool search --name "^Peakwend/T$" 2>/dev/null); do
    echo "window $w"; xwininfo -id "$w" 2>&1 | grep -E "Absolute|Width|Height|Map State"
  done
  exit 1
}

# The pictures a headless run shows: the menu with each item in turn
# down to "Best 20", the Best 20 with its key prompt, the menu again.
cat > ref.script <<'EOF'
idle
shot menu.png
key Down
idle
shot menu-1.png
key Down
idle
shot menu-2.png
key Down
idle
shot menu-3.png
key Down
idle
shot menu-4.png
key Enter
idle
shot ranking.png
key Space
idle
shot menu-again.png
close
EOF
"$exe" --headless --midi none --time 09:00:07 --script ref.script || fail "headless run"

# until SECONDS COMMAND...: retries COMMAND every 0.1 s.
until_ok() {
  local n=$(($1 * 10)); shift
  for _ in $(seq $n); do "$@" && return 0; sleep 0.1; done
  return 1
}
# 1300x1040: scale 2 fits with openbox's frame (25 pixels high) but not with
# the frame assumed before the manager tells it, so the window must grow.
start_xvfb 1300x1040x24 || fail "no X server"
start_wm wm.log || fail "the window manager did not start: $(cat wm.log)"

mkdir pictures
XDG_PICTURES_DIR=$work/pictures SDL_AUDIODRIVER=dummy "$exe" --midi none --time 09:00:07 >out.txt 2>err.txt &
pid=$!
wid=$(wait_window Peakwend/T) || fail "no window"
# Framed and focused by the manager: its frame is known and keys reach it.
wait_active "$wid" || fail "the window never got the focus"

size() { xwininfo -id "$wid" | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w "x" h }'; }
shows() { "$xgrab" "$wid" window.png --match "$1"; }
shows_centred() { "$xgrab" "$wid" window.png --centred "$1"; }
size_is() { [ "$(size)" = "$1" ]; }
key() { wait_active "$wid" && xdo key "$@"; }
# press KEY PICTURE: presses KEY until the window shows PICTURE. The game
# forgets keys typed ahead each time it starts waiting, so a key can only
# be counted on once the picture shows that the last one was taken, and a
# key that came just before the wait is pressed again.
press() {
  for _ in 1 2 3; do key "$1" && until_ok 5 shows "$2" && return 0; done
  return 1
}

until_ok 5 size_is 1280x1008 || fail "default window $(size), expected 1280x1008 (scale 2)"
# Desktops match the window to the desktop entry by its class; it has its icon.
xprop -id "$wid" WM_CLASS | grep -q '"peakwend", "peakwend"' || fail "class: $(xprop -id "$wid" WM_CLASS)"
xprop -id "$wid" _NET_WM_ICON | grep -q 'Icon (64 x 64)' || fail "the window has no 64x64 icon"
until_ok 30 shows menu.png || fail "the window never showed the menu"
for n in 1 2 3 4; do press KP_Down menu-$n.png || fail "keypad Down did not move to item $((n + 1))"; done
press KP_Enter ranking.png || fail "keypad Enter did not show the Best 20"

key F11
until_ok 10 size_is 1300x1040 || fail "F11: window $(size), expected the screen 1300x1040"
until_ok 10 shows_centred ranking.png || fail "fullscreen: not the picture at scale 2, centred on black"

key F12
until_ok 10 grep -q '^screenshot: ' out.txt || fail "F12 printed no path"
shot=$(sed -n 's/^screenshot: //p' out.txt | head -n1)
case "$shot" in "$work"/pictures/peakwend-*.png) ;; *) fail "screenshot went to $shot" ;; esac
until_ok 5 cmp -s "$shot" ranking.png || fail "the screenshot is not the picture shown"

key alt+Return
until_ok 10 size_is 1280x1008 || fail "Alt+Enter: window $(size), expected 1280x1008"
until_ok 10 shows ranking.png || fail "the Best 20 went away: a window key reached the program"
sleep 0.5
until_ok 5 shows ranking.png || fail "the Best 20 went away: a window key reached the program"

# An ordinary key still reaches it.
press space menu-again.png || fail "Space did not bring the menu back"

"$xclose" "$wid"
until_ok 15 bash -c "! kill -0 $pid 2>/dev/null" || fail "still running after close"
wait "$pid"; code=$?
pid=""
[ "$code" = 0 ] || fail "exit code $code: $(cat err.txt)"
[ -s err.txt ] && fail "printed on stderr: $(cat err.txt)"
echo "ok"
