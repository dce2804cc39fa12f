#!/usr/bin/env bash
# The zip's crclist.exe verifies the sample disc under 64-bit Wine, through the drive Wine maps the
# root folder to: it must exit with 0 and say so. Whatever it printed is shown when it does not.
# Usage: zip-crclist.sh CRCLIST_EXE SAMPLE_DISC WORK
set -uo pipefail
crclist=$1 sample=$2 work=$3
wine_run=$(dirname "$0")/../wine/wine-run
mkdir -p "$work"

# A fresh prefix is made first, on its own, so that what Wine prints then is not the program's.
WINEARCH=win64 "$wine_run" "$work/wineprefix" cmd /c exit 0 >"$work/prefix.log" 2>&1 ||
  { cat "$work/prefix.log"; echo "FAIL: no Wine prefix in $work/wineprefix"; exit 1; }

WINEARCH=win64 "$wine_run" "$work/wineprefix" "$crclist" verify "Z:$sample" \
  >"$work/verify.out" 2>"$work/verify.err"
status=$?
if [ $status -ne 0 ] || ! grep -q "^all 5 files verified" "$work/verify.out"; then
  echo "FAIL: crclist.exe verify exited with $status"
  echo "-- its standard output:"; cat "$work/verify.out"
  echo "-- its standard error:"; cat "$work/verify.err"
  exit 1
fi
cat "$work/verify.out"
