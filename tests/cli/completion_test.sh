#!/usr/bin/env bash
# The bash completion of dorvane-cli, sourced as bash-completion does, against the program's
# own overview: the words offered after "dorvane-cli " and after "dorvane-cli export ".
#   completion_test.sh COMPLETION_SCRIPT DORVANE_CLI
set -u
script=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/Stocks" "$work/Futures dir"
touch "$work/quotes.csv"
cd "$work" || exit 1
# shellcheck disable=SC1090
source "$script" || exit 1
failures=0

# Prints the words offered for the command line "$@" (the last word is being completed).
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _dorvane_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect() {
  local what=$1 expected=$2 actual=$3
  if [[ "$expected" != "$actual" ]]; then
    printf 'FAIL %s\n  expected: %s\n  offered:  %s\n' "$what" "${expected//$'\n'/ | }" \
      "${actual//$'\n'/ | }"
    failures=$((failures + 1))
  else
    printf 'ok   %s\n' "$what"
  fi
}

commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p')
expect "after 'dorvane-cli '" "$(printf '%s\n' $commands --help --version | sort)" \
  "$(offered dorvane-cli '')"
expect "after 'dorvane-cli sp'" "$(printf '%s\n' split split-search)" "$(offered dorvane-cli sp)"
expect "complete -F registered" "complete -o filenames -F _dorvane_cli dorvane-cli" \
  "$(complete -p dorvane-cli)"
# export DIR KEY FILE: directories first (a name with a blank stays one word), nothing for KEY,
# any file for FILE; the choices of --delimiter; the options after "--".
expect "after 'dorvane-cli export '" "$(printf '%s\n' 'Futures dir' Stocks)" \
  "$(offered dorvane-cli export '')"
expect "after 'dorvane-cli export Stocks '" "" "$(offered dorvane-cli export Stocks '')"
expect "after 'dorvane-cli export Stocks ACME q'" "quotes.csv" \
  "$(offered dorvane-cli export Stocks ACME q)"
expect "after '--delimiter '" "$(printf '%s\n' comma space tab)" \
  "$(offered dorvane-cli export --delimiter '')"
expect "after '--delimiter tab '" "$(printf '%s\n' 'Futures dir' Stocks)" \
  "$(offered dorvane-cli export --delimiter tab '')"
# chart DIR KEY OUT.png: the picture is any file, like export's FILE.
expect "after 'dorvane-cli chart Stocks HRBR q'" "quotes.csv" \
  "$(offered dorvane-cli chart Stocks HRBR q)"
export_options=$("$cli" export --help | head -n 1 | grep -o -- '--[a-z-]*')
expect "after 'dorvane-cli export --'" "$(printf '%s\n' $export_options --help | sort)" \
  "$(offered dorvane-cli export --)"

if [[ $failures -ne 0 ]]; then
  echo "$failures completion check(s) failed"
  exit 1
fi
