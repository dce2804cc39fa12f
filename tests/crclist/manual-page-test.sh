#!/usr/bin/env bash
# Renders crclist's manual page as man shows it and checks it against the program: no warning
# from man, the sections a reader looks for, every command with its usage and every option its
# --help names, and none of the argument parser's own words.
# Usage: manual-page-test.sh PAGE CRCLIST VERSION
set -uo pipefail
page=$1 crclist=$2 version=$3
failures=0
fail() { echo "FAILED: $page: $*"; failures=$((failures + 1)); }

warnings=$(mktemp)
trap 'rm -f "$warnings"' EXIT
rendered=$(MANWIDTH=100 man --warnings -l "$page" 2>"$warnings" | col -b)
[ -s "$warnings" ] && fail "man warns: $(cat "$warnings")"
grep -qF "crclist $version" <<<"$rendered" || fail "the page is not of crclist $version"
# The text as one line, as justified lines break and space it.
flat=$(tr -s ' \t\n' ' ' <<<"$rendered")

for section in NAME SYNOPSIS DESCRIPTION OPTIONS COMMANDS "EXIT STATUS" EXAMPLES FILES "SEE ALSO"; do
  grep -qx "$section" <<<"$rendered" || fail "no section $section"
done
# The section of one command: from its heading to the next heading.
command_section() {
  sed -n "/^   $1\$/,/^   [a-z]*\$\\|^[A-Z]/p" <<<"$rendered"
}
commands=$("$crclist" --help | sed -n '/^Subcommands:/,$s/^  \([a-z][a-z-]*\) .*/\1/p')
[ -n "$commands" ] || fail "crclist --help names no command"
for command in $commands; do
  help=$("$crclist" "$command" --help)
  section=$(command_section "$command")
  [ -n "$section" ] || { fail "no section for $command"; continue; }
  usage=$(sed -n 's/^Usage: //p' <<<"$help")
  grep -qF -- "$usage" <<<"$section" || fail "the section of $command has no \"$usage\""
  for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | grep -vx -- --help | sort -u); do
    grep -qF -- "$option" <<<"$section" || fail "the section of $command does not name $option"
  done
  # What each exit code means, as the command's --help tells it.
  exit_status=$(sed -n 's/^Exit status: //p' <<<"$help" | cut -d, -f1)
  [ -n "$exit_status" ] && grep -qF -- "$command $exit_status" <<<"$flat" ||
    fail "EXIT STATUS does not give \"$exit_status\" for $command"
done
for example in "crclist make disc" "crclist verify disc" "--image disc.iso" "--image disc.cue" \
               "--json"; do
  sed -n '/^EXAMPLES$/,/^FILES$/p' <<<"$rendered" | grep -qF -- "$example" ||
    fail "no example with \"$example\""
done
sed -n '/^FILES$/,/^SEE ALSO$/p' <<<"$rendered" | grep -qF crclist.INF || fail "FILES has no crclist.INF"
# CLI11's words for types and constraints, which say nothing to a reader.
for word in TEXT ENUM Excludes REQUIRED "value in" "->"; do
  grep -qF -- "$word" <<<"$rendered" && fail "the page holds the parser's \"$word\""
done
exit $((failures != 0))
