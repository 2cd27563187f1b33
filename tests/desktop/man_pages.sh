#!/usr/bin/env bash
# The manual pages render without warnings, carry this version, and name every
# option corvalo-cli --help lists and every key (with its default) the settings
# file reads.
# Usage: man_pages.sh <man-dir> <corvalo-cli> <settings.cpp> <version>
set -euo pipefail
dir=$1
cli=$2
settings=$3
version=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
# The page's source text with the font changes taken out.
plain() { sed -e 's/\\f[BIRP]//g' -e 's/\\&//g' -e 's/\\-/-/g' "$dir/$1.1"; }

for page in corvalo corvalo-cli; do
  [[ -f "$dir/$page.1" ]] || fail "$page.1 was not built"
  warnings=$(MANWIDTH=80 man --warnings -l "$dir/$page.1" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "$page(1) renders with warnings: $warnings"
  text=$(MANWIDTH=80 man -l "$dir/$page.1" 2>/dev/null)
  [[ "$text" == *NAME*SYNOPSIS*DESCRIPTION*EXIT\ STATUS* ]] || fail "$page(1) lacks a section"
  [[ "$(tail -1 <<<"$text")" == *"Corvalo $version"* ]] || fail "$page(1) is not of $version"
done

options=$("$cli" --help | grep -oE '^  --[a-z-]+')
[[ -n "$options" ]] || fail "corvalo-cli --help lists no options"
cli_page=$(plain corvalo-cli)
for option in $options; do
  grep -qF -- "$option" <<<"$cli_page" || fail "corvalo-cli(1) does not explain $option"
done
for status in 0 1 2 3; do
  grep -qx "$status" <<<"$cli_page" || fail "corvalo-cli(1) does not explain exit status $status"
done

# Keys read with a literal name and default, as in ("Show", "StayOnTop", 0).
page=$(plain corvalo)
keys=0
while IFS='|' read -r key default; do
  grep -qF "$key (default $default" <<<"$page" ||
    fail "corvalo(1) lacks «$key (default $default»"
  keys=$((keys + 1))
done < <(grep -oE '"[A-Z][a-z]+", "[A-Za-z ]+", -?[0-9]+\)' "$settings" |
         sed -E 's/.*", "([^"]+)", (-?[0-9]+)\)/\1|\2/')
(( keys >= 12 )) || fail "only $keys keys with defaults found in $settings"
# Keys read as text, and the five keys of each font.
for key in $(grep -oE '"Internet", "[A-Za-z]+"' "$settings" | cut -d'"' -f4); do
  grep -qF "$key" <<<"$page" || fail "corvalo(1) lacks the key $key"
done
fonts=$(grep -oE 'loadFont\([a-z]+, "[A-Za-z]+"' "$settings" | cut -d'"' -f2)
parts=$(grep -oE 'prefix \+ "[A-Za-z]+"' "$settings" | cut -d'"' -f2 | sort -u)
[[ $(wc -w <<<"$fonts") == 3 && $(wc -w <<<"$parts") == 5 ]] ||
  fail "the three fonts' five keys were not found in $settings"
for font in $fonts; do
  for part in $parts; do
    grep -qF "$font$part" <<<"$page" || fail "corvalo(1) lacks the key $font$part"
  done
done
echo "both pages render cleanly; $keys keys with defaults and every option explained"
