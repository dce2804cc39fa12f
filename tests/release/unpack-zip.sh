#!/usr/bin/env bash
# Unpacks the Windows zip as a user would, checks its files against the SHA256SUMS inside, and
# that it carries the README and every manual as they are in the sources.
# Usage: unpack-zip.sh ZIP FOLDER SOURCE
set -euo pipefail
zip=$1 folder=$2 source=$3
rm -rf "$folder"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
cd "$folder"/*/
sha256sum --check --strict --quiet SHA256SUMS
# Every file but the sums themselves is listed.
listed=$(cut -c67- SHA256SUMS | sort)
present=$(find . -type f ! -name SHA256SUMS -printf '%P\n' | sort)
[ "$listed" = "$present" ] || { echo "SHA256SUMS lists other files than the zip holds"; exit 1; }
status=0
for document in README.md $(cd "$source" && find docs -name '*.md' 2>/dev/null); do
  cmp -s "$source/$document" "$document" || { echo "the zip lacks $document as it is"; status=1; }
done
exit $status
