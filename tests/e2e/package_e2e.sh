#!/usr/bin/env bash
# The .deb end to end: cpack builds it from the build folder, its control data
# and files are checked, it is unpacked into a temporary root, and the unpacked
# program starts under Xvfb through bin/corvalo, finds CORVALO.HLP in its own
# folder (F1 opens the help window) and shows the About box.
# Usage: package_e2e.sh <build-dir>
set -euo pipefail
build=$(realpath "$1")
source "$(dirname "$0")/session.sh"

# --- Build the package.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$e2e_tmp/pkg" >"$e2e_tmp/cpack.log" 2>&1 ||
  { cat "$e2e_tmp/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$e2e_tmp"/pkg/corvalo_*_*.deb 2>/dev/null | head -1)
[[ -n "$deb" ]] || fail "no .deb was made"
echo "built $(basename "$deb")"

# --- Control data: what a fresh Debian 12 needs to run it.
depends=$(dpkg-deb -f "$deb" Depends)
for need in qt6-qpa-plugins libqt6widgets6 libjpeg62-turbo; do
  [[ "$depends" == *"$need"* ]] || fail "Depends lacks $need: $depends"
done
[[ "$(dpkg-deb -f "$deb" Package)" == corvalo ]] || fail "wrong package name"
if command -v apt-get >/dev/null && [[ $(id -u) == 0 ]]; then
  apt-get install -s -qq "$deb" >"$e2e_tmp/apt.log" 2>&1 ||
    { cat "$e2e_tmp/apt.log" >&2; fail "apt cannot satisfy the package's dependencies"; }
  echo "dependencies resolve: $depends"
fi

# --- Files, unpacked as dpkg would place them.
root="$e2e_tmp/root"
dpkg-deb -x "$deb" "$root"
for f in usr/lib/corvalo/corvalo usr/lib/corvalo/CORVALO.HLP usr/bin/corvalo \
         usr/share/applications/corvalo.desktop \
         usr/share/icons/hicolor/256x256/apps/corvalo.png; do
  [[ -e "$root/$f" ]] || fail "missing /$f"
done
[[ "$(readlink "$root/usr/bin/corvalo")" == ../lib/corvalo/corvalo ]] ||
  fail "bin/corvalo is not a relative link to the program"
grep -q '^Exec=/usr/lib/corvalo/desktop-start$' "$root/usr/share/applications/corvalo.desktop" ||
  fail "the desktop entry does not start corvalo through its launcher"
grep -q '^Icon=corvalo$' "$root/usr/share/applications/corvalo.desktop" ||
  fail "the desktop entry names no icon"
echo "files in place"

# --- Run the unpacked program through its link.
start_session
launch_corvalo "$e2e_tmp/run.log" "$root/usr/bin/corvalo"
echo "installed program started"

# F1: the help beside the program, at Contents (no "Unable to locate file" box).
help_shown() { [[ -n "$(windows_named "$pid" "Corvalo Calculator Help - Corvalo Help")" ]]; }
press_until "$main" F1 20 help_shown || {
  for w in $(xdotool search --onlyvisible --pid "$pid"); do xdotool getwindowname "$w" >&2; done
  fail "F1 did not open the help at Contents"
}
echo "help opened at Contents"

# Help > About: the box with the picture the program carries.
about_shown() { [[ -n "$(windows_named "$pid" "About Corvalo Calculator")" ]]; }
press_until "$main" "alt+h a" 20 about_shown || fail "Help > About showed no box"
about=$(windows_named "$pid" "About Corvalo Calculator" | head -1)
[[ "$(xdotool getwindowgeometry "$about" | awk '/Geometry/ { print $2 }')" == 438x343 ]] ||
  fail "the About box is not 438 x 343"
about_gone() { ! about_shown; }
press_until "$about" Return 20 about_gone || fail "OK did not close the About box"
echo "About box shown and closed"

kill "$pid"
wait "$pid" 2>/dev/null || true
echo "PASS"
