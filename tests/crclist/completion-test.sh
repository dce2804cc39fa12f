#!/usr/bin/env bash
# Drives crclist's bash completion in a real bash as the shell calls it: the words of the line in
# COMP_WORDS, the one completed last, and what the completion offers in COMPREPLY. "=" is a word of
# its own, as bash's word breaks make it.
# Usage: completion-test.sh COMPLETION_SCRIPT
set -uo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/files/disc" "$work/files/dumps"
touch "$work/files/disc.iso" "$work/files/disc.cue" "$work/files/crclist.INF" "$work/files/notes.txt"
cd "$work/files"

# shellcheck source=/dev/null
source "$script" || { echo "FAILED: $script does not load"; exit 1; }
failures=0
[ "$(complete -p crclist)" = "complete -F _crclist crclist" ] ||
  { echo "FAILED: complete -p crclist says: $(complete -p crclist)"; failures=$((failures + 1)); }

# offers EXPECTED WORD...: the completion of the last word, sorted, must be EXPECTED.
offers() {
  local expected=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _crclist 2>"$work/stderr"
  local offered
  offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  if [ "$offered" != "$expected" ] || [ -s "$work/stderr" ]; then
    echo "FAILED: completing \"$*\" offers \"$offered\", expected \"$expected\" $(cat "$work/stderr")"
    failures=$((failures + 1))
  fi
}

# Commands, and a command's options.
offers "--help --version -h lint make show verify" crclist ''
offers "verify" crclist ve
offers "--reading" crclist verify --rea
offers "--json" crclist show --j
offers "--message-file" crclist make --image disc --title t --me
# The values of --reading, after a space or an "=".
offers "auto parallel sequential" crclist verify --reading ''
offers "auto parallel sequential" crclist verify --reading =
offers "sequential" crclist verify --reading = s
offers "parallel" crclist verify --keep-going --reading p
# Files (and the folders on the way to them) where a file is asked for, folders where a folder
# is, nothing for a text.
offers "disc disc.cue disc.iso dumps" crclist verify --image d
offers "disc disc.cue disc.iso dumps" crclist make --image d
offers "disc disc.cue disc.iso dumps" crclist lint x --image d
offers "crclist.INF" crclist verify --list c
offers "notes.txt" crclist make -o n
offers "notes.txt" crclist make --output n
offers "disc dumps" crclist make d
offers "disc dumps" crclist verify --root d
offers "crclist.INF" crclist show c
offers "" crclist make --title d
offers "" crclist make --reg d
exit $((failures != 0))
