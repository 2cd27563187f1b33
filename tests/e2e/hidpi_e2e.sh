#!/usr/bin/env bash
# Sizes are logical pixels: at QT_SCALE_FACTOR=2 the collapsed, the expanded and the
# calculator window are twice as wide and high as at 1, within 2 pixels. No window
# manager frames the window here, so its own size is its outer size.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/session.sh"
start_session

size() { xdotool getwindowgeometry "$main" | awk '/Geometry:/ {print $2}'; }
resized() { [[ "$(size)" != "$last" ]]; }
# Types keys $@ and appends the size the window then takes to $sizes.
size_after() {
  last=${sizes[-1]}
  keys_to "$main" "$@"
  wait_for 10 resized || fail "$* left the window at $last"
  sizes+=("$(size)")
}
# The three sizes at scale $1 into $sizes, from a folder of its own (no stored sizes).
sizes_at() {
  mkdir -p "$e2e_tmp/cwd/$1" && cd "$e2e_tmp/cwd/$1"
  launch_corvalo "$e2e_tmp/run$1.log" env QT_SCALE_FACTOR="$1" "$corvalo"
  sizes=("$(size)")
  printf '1\t2\t3\n4\t5\t6\n7\t8\t9\n' | xclip -selection clipboard
  size_after ctrl+v
  size_after F9
  exit_through_menu
}

sizes_at 1
one=("${sizes[@]}")
sizes_at 2
two=("${sizes[@]}")
for i in 0 1 2; do
  w1=${one[i]%x*} h1=${one[i]#*x} w2=${two[i]%x*} h2=${two[i]#*x}
  (( (2 * w1 - w2) ** 2 <= 4 && (2 * h1 - h2) ** 2 <= 4 )) ||
    fail "size $((i + 1)) of 3: ${one[i]} at scale 1 but ${two[i]} at scale 2"
done
echo "scale 1: ${one[*]}; scale 2: ${two[*]}"
