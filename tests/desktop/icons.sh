#!/usr/bin/env bash
# Every hicolor size a desktop asks for is there as a PNG drawn at that size,
# beside the scalable SVG they are rendered from.
# Usage: icons.sh <assets/icons/hicolor>
set -euo pipefail
dir=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

# Width and height from a PNG's header (big-endian at bytes 16 and 20).
png_size() {
  local sig w h
  sig=$(od -An -tx1 -N8 "$1" | tr -d ' \n')
  [[ $sig == 89504e470d0a1a0a ]] || return 1
  w=$(od -An -tu4 -j16 -N4 --endian=big "$1" | tr -d ' ')
  h=$(od -An -tu4 -j20 -N4 --endian=big "$1" | tr -d ' ')
  echo "${w}x$h"
}
for size in 16 22 24 32 48 64 128 256; do
  png=$dir/${size}x$size/apps/corvalo.png
  [[ -f "$png" ]] || fail "no ${size}x$size icon"
  got=$(png_size "$png") || fail "$png is no PNG"
  [[ "$got" == "${size}x$size" ]] || fail "the ${size}x$size icon is $got"
done
svg=$dir/scalable/apps/corvalo.svg
grep -q '<svg[^>]*viewBox="0 0 256 256"' "$svg" || fail "the SVG is not a 256 x 256 square"
# Text would depend on the fonts of the machine that shows it.
! grep -q '<text' "$svg" || fail "the SVG holds text instead of drawn shapes"
echo "ok: 8 sizes and the scalable icon"
