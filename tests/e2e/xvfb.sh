# Sourced by the window tests and tools/measure_pace.sh.
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
