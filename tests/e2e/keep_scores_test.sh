#!/usr/bin/env bash
# keep_scores_test.sh PEAKWEND: the Best 20 kept between runs. A first run with
# --keep-scores names the player 山田 and wins a game (with the clock at
# 09:00:23 a walker started at x = 310 and aimed straight up reaches the goal
# in its third try), then shows the ranking. A second run, kept by the
# settings file, must show the same ranking; a third, where --no-keep-scores
# overrides the file, an empty one, and it must leave the file alone.
set -u
exe=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data SDL_AUDIODRIVER=dummy
fail() { echo "FAIL: $*"; for f in *.err; do echo "--- $f"; cat "$f"; done; exit 1; }

menu_down() { for _ in $(seq "$1"); do echo "key Down"; done; }
ranking_then_end() {
  echo idle; menu_down 4; echo "key Enter"; echo idle; echo "text $1"
  echo "key Space"; echo idle; echo "key Up"; echo "key Enter"
}
{
  echo idle; menu_down 5; echo "key Enter"; echo idle; echo "type 山田"; echo "key Enter"
  echo idle; for _ in 1 2 3 4 5; do echo "key Up"; done; echo "key Enter"
  echo idle; echo "click 310 493"
  for _ in 1 2 3; do echo idle; echo "drag 300 400 300 300"; done
  for _ in 1 2 3; do echo idle; echo "key Space"; done
  ranking_then_end first.txt
} > win.script
ranking_then_end second.txt > second.script
ranking_then_end third.txt > third.script

run() {  # NAME ARGS...
  local name=$1; shift
  "$exe" --headless --midi none --time 09:00:23 --date 2024-03-05 --script "$name.script" "$@" \
    >"$name.out" 2>"$name.err" || fail "$name run: exit code $?"
}

run win --keep-scores
[ -f data/peakwend/best20 ] || fail "no file after a won game"
grep -q '山田' first.txt || fail "the first run's ranking lacks the player: $(cat first.txt)"
sed -n 5p first.txt | grep -q '[^ ]' && fail "the first run's ranking has two places"
cp data/peakwend/best20 kept

mkdir -p config/peakwend
printf '# kept between runs\nkeep_scores = yes\n' > config/peakwend/peakwend.conf
run second
cmp -s first.txt second.txt || fail "the kept ranking differs: $(diff first.txt second.txt)"

run third --no-keep-scores
sed -n 4p third.txt | grep -q '[^ ]' && fail "--no-keep-scores still read the file: $(cat third.txt)"
cmp -s kept data/peakwend/best20 || fail "the file changed"
[ "$(ls data/peakwend)" = best20 ] || fail "left behind: $(ls data/peakwend)"
[ -s win.err ] || [ -s second.err ] || [ -s third.err ] && fail "messages on stderr"
echo "ok"
