#!/usr/bin/env bash
# deps.sh play|test: installs the Debian packages the project needs (as root),
# or prints the one apt-get line to run and fails.
set -euo pipefail
build=(cmake g++ make pkg-config libsdl2-dev libx11-dev libfluidsynth-dev libpng-dev libinih-dev unifont timgm6mb-soundfont)
# clang with libclang-rt-14-dev: the sanitizer and fuzz build; llvm: llvm-symbolizer,
# which puts file and line into sanitizer reports.
tests=(ccache googletest libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils openbox desktop-file-utils libx11-dev
       clang libclang-rt-14-dev llvm)
want=("${build[@]}")
[ "${1:-play}" = test ] && want+=("${tests[@]}")
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" = 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || true
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "Missing Debian packages. Run:"
  echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}"
  exit 1
fi
