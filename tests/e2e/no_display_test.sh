#!/usr/bin/env bash
# no_display_test.sh PEAKWEND: without a display the program says so itself,
# once, and fails with the same exit code whether DISPLAY is unset, empty or
# names no server; no library adds its own complaints (XDG_RUNTIME_DIR unset).
set -u
exe=$1
run() { env -u XDG_RUNTIME_DIR -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$@" "$exe" --midi none 2>&1 >/dev/null; }
unset_out=$(run -u DISPLAY); unset_code=$?
empty_out=$(run DISPLAY=); empty_code=$?
none_out=$(run DISPLAY=:4093); none_code=$?
status=0
fail() { echo "FAIL: $*"; status=1; }
[ "$unset_code" != 0 ] || fail "DISPLAY unset: exit code 0"
grep -q '^peakwend: no display available' <<<"$unset_out" || fail "DISPLAY unset: $unset_out"
[ "$empty_code" = "$unset_code" ] || fail "DISPLAY empty: exit code $empty_code, unset: $unset_code"
[ "$empty_out" = "$unset_out" ] || fail "DISPLAY empty printed:
$empty_out"
[ "$none_code" = "$unset_code" ] || fail "DISPLAY=:4093: exit code $none_code, unset: $unset_code"
# The same lines as without DISPLAY, apart from the reason given.
[ "$(sed 's/(.*)//' <<<"$none_out")" = "$(sed 's/(.*)//' <<<"$unset_out")" ] || fail "DISPLAY=:4093 printed:
$none_out"
[ $status = 0 ] && echo "ok"
exit $status
