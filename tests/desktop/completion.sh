#!/usr/bin/env bash
# The bash completion loads, offers every option of corvalo-cli --help, the
# values of --mode, nothing where a number or a character is due, and file names.
# Usage: completion.sh <completion-file> <corvalo-cli>
set -euo pipefail
file=$1
cli=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

bash -c 'source "$1" && complete -p corvalo-cli' _ "$file" >/dev/null ||
  fail "sourcing $file registers no completion for corvalo-cli"
source "$file"

t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
touch "$t/sums.tsv" "$t/sums.csv" "$t/other.txt"
cd "$t"

# The sorted offers for a command line whose last word is being completed.
offers() {
  COMP_WORDS=(corvalo-cli "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _corvalo_cli
  printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd' '
}
check() {
  local name=$1 want=$2 got
  shift 2
  got=$(offers "$@")
  [[ "$got" == "$want" ]] || fail "$name: offered «$got», not «$want»"
  echo "ok: $name"
}
check "an option by its start" "--mode" --mo
check "two options of one start" "--decimal-separator --decimals" --dec
check "every mode" "add divide multiply subtract" --mode ""
check "a mode by its start" "multiply" --columns --mode m
check "no offer for a line number" "" --line ""
check "no offer for a separator" "" --decimal-separator ""
check "file names" "sums.csv sums.tsv" --columns sums
check "file names after a redirection" "other.txt" "<" o

offered=$(offers -)
for option in $("$cli" --help | grep -oE '^  --[a-z-]+'); do
  [[ " $offered " == *" $option "* ]] || fail "$option of --help is not offered"
done
echo "ok: every option of --help offered"
