#!/usr/bin/env bash
# Runs the built crclist as a user would and checks its exit codes and the first line it prints.
# Usage: cli-test.sh CRCLIST SAMPLE_DISC VERSION
set -uo pipefail
crclist=$1
disc=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect CODE FIRST-LINE ARGS...: the first line of standard output and standard error together.
expect() {
  local code=$1 line=$2
  shift 2
  local output status
  output=$("$crclist" "$@" 2>&1)
  status=$?
  if [ "$status" != "$code" ] || [ "$(head -n 1 <<<"$output")" != "$line" ]; then
    echo "FAILED: crclist $*: exit $status, expected $code; first line:"
    head -n 1 <<<"$output"
    failures=$((failures + 1))
  fi
}

cp -r "$disc" "$work/disc"
printf 'X' | dd of="$work/disc/setup.dat" bs=1 seek=100 conv=notrunc 2>/dev/null

expect 2 "A subcommand is required"
expect 0 "Makes, shows, lints and verifies Disksentry check lists (crclist.INF)." --help
expect 0 "crclist $version" --version
expect 2 "The following argument was not expected: extra" show "$disc/crclist.INF" extra
expect 0 "loaded: yes" show "$disc/crclist.INF"
expect 0 "$disc/crclist.INF: nothing found" lint "$disc/crclist.INF" --root "$disc"
expect 0 "all 5 files verified" verify --root "$disc"
expect 1 "setup.dat: wrong CRC-32: listed 0x692079AA" verify --root "$work/disc"
expect 2 "crclist: $work/absent: no such folder" verify --root "$work/absent"
(cd "$disc" && "$crclist" verify >/dev/null) || { echo "FAILED: verify in the disc's folder"; failures=$((failures + 1)); }
expect 0 "wrote $work/ディスク.INF: 3 CDFILES, 2 GAMEDATA and 0 REG entries" \
  make "$disc" -o "$work/ディスク.INF" --title t --drive-info d
expect 0 "all 5 files verified" verify --root "$disc" --list "$work/ディスク.INF"

exit $((failures != 0))
