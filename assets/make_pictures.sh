#!/usr/bin/env bash
# Draws the About picture (about.jpg, 438 x 343) and the application icon
# (corvalo.png, 256 x 256) with ImageMagick, and renders the desktop icons
# (icons/hicolor/<size>/apps/corvalo.png) from icons/hicolor/scalable/apps/corvalo.svg
# with rsvg-convert. Run from anywhere; the results are committed, so building
# needs neither ImageMagick nor librsvg and every build embeds the same pixels.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# --- The icon: a teal tile with a calculator: display, keys and a plus key.
convert -size 256x256 gradient:'#2bb3a8'-'#0d4f6e' \
  \( -size 256x256 xc:black -fill white -draw 'roundrectangle 8,8 247,247 44,44' \) \
  -alpha off -compose CopyOpacity -composite "$tmp/tile.png"
convert "$tmp/tile.png" \
  -fill '#0a2f44' -draw 'roundrectangle 46,40 210,92 12,12' \
  -fill '#9ff0d8' -font DejaVu-Sans-Mono-Bold -pointsize 38 \
  -draw "text 72,80 '1,234'" \
  -fill '#e8f6f5' \
  -draw 'roundrectangle 46,108 92,146 8,8' -draw 'roundrectangle 105,108 151,146 8,8' \
  -draw 'roundrectangle 46,160 92,198 8,8' -draw 'roundrectangle 105,160 151,198 8,8' \
  -fill '#ffb347' -draw 'roundrectangle 164,108 210,198 8,8' \
  -fill '#0a2f44' -draw 'rectangle 173,150 201,156' -draw 'rectangle 184,139 190,167' \
  -depth 8 corvalo.png

# --- The desktop icons: the SVG draws the same tile; each size is rendered from it.
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "icons/hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" icons/hicolor/scalable/apps/corvalo.svg \
    -o "icons/hicolor/${size}x${size}/apps/corvalo.png"
done

# --- The About picture: night-blue gradient, wordmark, a light card for the
# version and copyright (labels at tops 135 and 170), a faint sheet below.
convert -size 438x343 gradient:'#0c2340'-'#17677f' "$tmp/base.png"
# Faint spreadsheet lines over the lower part.
draw=()
for x in $(seq 0 62 438); do draw+=(-draw "line $x,250 $x,343"); done
for y in $(seq 250 18 343); do draw+=(-draw "line 0,$y 438,$y"); done
convert "$tmp/base.png" -stroke 'rgba(255,255,255,0.10)' "${draw[@]}" "$tmp/sheet.png"
# Digits in two columns of the sheet, very quiet.
convert "$tmp/sheet.png" -font DejaVu-Sans-Mono -pointsize 11 -fill 'rgba(255,255,255,0.20)' \
  -draw "text 6,263 '1,204.50'" -draw "text 378,263 '  -42.10'" \
  -draw "text 6,281 '  987.65'" -draw "text 378,281 '1,000.00'" \
  -draw "text 6,299 '   12.00'" -draw "text 378,299 '  250.75'" \
  -draw "text 6,317 '2,510.15'" -draw "text 378,317 '5,000.00'" \
  -draw "text 6,335 '  600.40'" -draw "text 378,335 '   99.99'" \
  "$tmp/sheet2.png"
# The icon beside the wordmark.
convert corvalo.png -resize 84x84 "$tmp/icon84.png"
convert "$tmp/sheet2.png" "$tmp/icon84.png" -geometry +58+22 -composite \
  -font DejaVu-Sans-Bold -pointsize 46 -fill white -draw "text 156,76 'Corvalo'" \
  -font DejaVu-Sans -pointsize 15 -fill '#9ff0d8' \
  -draw "text 159,100 'Sums from the clipboard'" \
  -fill 'rgba(255,179,71,0.95)' -draw 'rectangle 156,84 392,86' \
  "$tmp/head.png"
# The card: soft shadow, then a light rounded panel.
convert "$tmp/head.png" \
  -fill 'rgba(0,0,0,0.25)' -draw 'roundrectangle 48,123 392,245 14,14' \
  -fill 'rgba(246,250,252,0.96)' -draw 'roundrectangle 44,119 388,241 14,14' \
  -fill '#2bb3a8' -draw 'rectangle 60,160 372,161' \
  -quality 90 -sampling-factor 2x2 -strip about.jpg
