# Sourced by the window tests and tools/measure_pace.sh.
# x_session TOOL...: checks that Xvfb and the tools are installed, makes a
# work folder ($work) and goes there. On exit the program ($pid), the window
# manager ($wm) and the X server ($xvfb_pid) are stopped and the folder goes.
x_session() {
  local tool
  for tool in Xvfb "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 1; }
  done
  xvfb_pid="" wm="" pid=""
  work=$(mktemp -d)
  trap x_session_end EXIT
  cd "$work" || exit 1
}
x_session_end() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}

# start_xvfb GEOMETRY [XVFB OPTION...]: starts a private Xvfb on a display
# number the server picks itself (no race with other servers starting), sets
# DISPLAY and xvfb_pid, and waits until it answers. Fails after 30 s.
start_xvfb() {
  local geometry=$1; shift
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; return 1; }
  local numfile; numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp "$@" 3>"$numfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  local n=""
  for _ in $(seq 300); do
    n=$(head -n1 "$numfile")
    [ -n "$n" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numfile"
  [ -n "$n" ] || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=":$n"
  for _ in $(seq 300); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb on $DISPLAY does not answer"
  return 1
}

# wait_window CAPTION: prints the id of the first window with that exact
# caption, waiting up to 30 s.
wait_window() {
  local wid=""
  for _ in $(seq 300); do
    wid=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$wid" ] && { echo "$wid"; return 0; }
    sleep 0.1
  done
  return 1
}

# xdo ARGS...: xdotool, tried again only when the X server turned it away:
# after a failure part-way a second try would send keys twice.
xdo() {
  local err
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    { err=$(xdotool "$@" 2>&1 1>&3 3>&-); } 3>&1 && return 0
    case $err in
      *"Can't open display"* | *"Failed creating new xdo"*) sleep 0.2 ;;
      *) echo "xdotool $*: $err" >&2; return 1 ;;
    esac
  done
  return 1
}

# wait_viewable WID: waits up to 30 s until the window is mapped on screen.
wait_viewable() {
  for _ in $(seq 300); do
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
    sleep 0.1
  done
  return 1
}

# wm_ready: openbox announces itself on the root window early; it gives the
# focus to that same window of its own just before it starts handling
# requests. A window mapped before then may never be mapped at all.
wm_ready() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')
  [ -n "$check" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((check))" ]
}

# start_wm LOG: starts openbox (pid in wm) and waits until it is ready; a
# busy X server may turn it away, so it is tried again.
start_wm() {
  wm=""
  local _i _j
  for _i in 1 2 3 4 5; do
    openbox --sm-disable >"$1" 2>&1 &
    wm=$!
    for _j in $(seq 100); do
      wm_ready && return 0
      sleep 0.1
    done
    kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; wm=""
  done
  return 1
}

# wait_active WID: waits up to 30 s until the window manager has framed
# the window and given it the focus, so that keys reach it.
wait_active() {
  for _ in $(seq 300); do
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
