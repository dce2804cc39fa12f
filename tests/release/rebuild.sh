#!/usr/bin/env bash
# Builds the release once more, later, from a copy of the sources in another folder, and compares
# its packages and programs with those of the build under test, byte for byte.
# Usage: rebuild.sh SOURCE BUILD WORK   (SOURCE_DATE_EPOCH set to the build under test's)
set -euo pipefail
source=$1 build=$2 work=$3

rm -rf "$work"
mkdir -p "$work"
# The sources as they are in the working tree: the files git knows, changed or not, and new ones
# it does not ignore. Not the builds inside it.
(cd "$source" && git ls-files -z --cached --others --exclude-standard) |
  while IFS= read -r -d '' file; do
    [ -e "$source/$file" ] && (cd "$source" && cp -P --parents "$file" "$work")
  done
(cd "$work" && cmake --workflow --preset release >"$work.log" 2>&1) ||
  { tail -40 "$work.log"; echo "the second release build failed; its log: $work.log"; exit 1; }

status=0
compare() {
  local first=$1 second=$2
  if cmp -s "$first" "$second"; then
    echo "same  $(stat -c %s "$first") bytes  $(sha256sum <"$first" | cut -d' ' -f1)" \
         "${first#"$source"/}"
  else
    echo "DIFFERENT  ${first#"$source"/}: $(sha256sum <"$first" | cut -d' ' -f1) against" \
         "$(sha256sum <"$second" | cut -d' ' -f1) from the second build"
    status=1
  fi
}
rebuilt=$work/build/release
packages=$(cd "$source/dist" && ls)
if [ "$packages" != "$(cd "$work/dist" && ls)" ]; then
  echo "the second build's dist/ holds other files: $(cd "$work/dist" && ls | tr '\n' ' ')"
  status=1
fi
for package in $packages; do
  compare "$source/dist/$package" "$work/dist/$package"
done
for program in tools/crclist/crclist windows-i686/src/disksentry.exe \
               windows-x86_64/src/disksentry.exe windows-x86_64/tools/crclist/crclist.exe; do
  compare "$build/$program" "$rebuilt/$program"
done
exit $status
