#!/usr/bin/env bash
# `cmake --install` into an empty prefix lays out exactly the files a desktop
# expects, and the program finds its help beside itself.
# Usage: install_layout.sh <build-dir> <prefix>
set -euo pipefail
build=$1
prefix=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$prefix"
mkdir -p "$prefix"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
cmake --install "$build" --prefix "$prefix" >"$log" 2>&1 ||
  { cat "$log" >&2; fail "install failed"; }

expected=(
  bin/corvalo bin/corvalo-cli
  lib/corvalo/CORVALO.HLP lib/corvalo/corvalo lib/corvalo/desktop-start
  share/applications/corvalo.desktop
  share/bash-completion/completions/corvalo-cli
  share/doc/corvalo/changelog.gz share/doc/corvalo/copyright
  share/icons/hicolor/scalable/apps/corvalo.svg
  share/man/man1/corvalo-cli.1.gz share/man/man1/corvalo.1.gz
  share/metainfo/com.corvalo.corvalo.metainfo.xml
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/corvalo.png")
done
want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
got=$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
[[ "$got" == "$want" ]] || fail "installed files differ (< missing, > extra):
$(diff <(echo "$want") <(echo "$got") | grep '^[<>]')"

[[ "$(readlink "$prefix/bin/corvalo")" == ../lib/corvalo/corvalo ]] ||
  fail "bin/corvalo is not a relative link to lib/corvalo/corvalo"
for f in lib/corvalo/corvalo lib/corvalo/desktop-start bin/corvalo-cli; do
  [[ -x "$prefix/$f" ]] || fail "$f is not executable"
done
# The program looks for its help in the folder of its real file, not of the link.
program=$(readlink -f "$prefix/bin/corvalo")
[[ -f "$(dirname "$program")/CORVALO.HLP" ]] || fail "no CORVALO.HLP beside $program"
for page in corvalo corvalo-cli; do
  gzip -t "$prefix/share/man/man1/$page.1.gz" || fail "$page.1.gz is no gzip file"
done
echo "installed: ${#expected[@]} files in place"
