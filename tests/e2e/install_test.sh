#!/usr/bin/env bash
# install_test.sh CMAKE BUILD_DIR: installs the build into a temporary prefix
# and checks what a desktop needs: the executable, a valid desktop entry that
# names it and its icon, and the icons at their sizes.
set -u
cmake=$1 build=$2
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate is not installed (desktop-file-utils)"; exit 1; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

"$cmake" --install "$build" --prefix "$prefix" >install.log 2>&1 || { cat install.log; echo "FAIL: cmake --install"; exit 1; }

exe=$prefix/bin/peakwend
if [ -x "$exe" ]; then
  version=$("$exe" --version) || fail "peakwend --version failed"
  case "$version" in *peakwend*|*Peakwend*) ;; *) fail "--version printed: $version" ;; esac
else
  fail "no executable $exe"
fi

entry=$prefix/share/applications/peakwend.desktop
if [ -f "$entry" ]; then
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
  ! grep -qE '(error|warning):' <<<"$out" || fail "desktop-file-validate: $out"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not the installed executable"
  icon_name=$(sed -n 's/^Icon=//p' "$entry")
  [ "$icon_name" = peakwend ] || fail "Icon=$icon_name"
  grep -q '^Categories=.*Game;' "$entry" || fail "not in the Game category"
  grep -qx 'StartupWMClass=peakwend' "$entry" || fail "the entry does not name the window's class"
else
  fail "no desktop entry $entry"
fi

# A PNG's width and height are the big-endian words at bytes 16 and 20 of
# its header; byte 25 is the colour type (6: with an alpha channel).
png_field() { od -An -tu1 -j "$2" -N "$3" "$1" | awk '{ v = 0; for (i = 1; i <= NF; i++) v = v * 256 + $i; print v }'; }
for size in 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/${icon_name:-peakwend}.png
  if [ ! -f "$icon" ]; then fail "no icon $icon"; continue; fi
  [ "$(od -An -tx1 -N8 "$icon" | tr -d ' \n')" = 89504e470d0a1a0a ] || { fail "$icon is not a PNG"; continue; }
  w=$(png_field "$icon" 16 4) h=$(png_field "$icon" 20 4) type=$(png_field "$icon" 25 1)
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$icon is ${w}x${h}"
  [ "$type" = 6 ] || fail "$icon has no transparency (colour type $type)"
done

[ $status = 0 ] && echo "ok: installed and checked under $prefix"
exit $status
