#!/usr/bin/env bash
# Unpacks the Windows zip as a user would and checks its files against the SHA256SUMS inside.
# Usage: unpack-zip.sh ZIP FOLDER
set -euo pipefail
zip=$1 folder=$2
rm -rf "$folder"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
cd "$folder"/*/
sha256sum --check --strict SHA256SUMS
# Every file but the sums themselves is listed.
listed=$(cut -c67- SHA256SUMS | sort)
present=$(find . -type f ! -name SHA256SUMS -printf '%P\n' | sort)
[ "$listed" = "$present" ] || { echo "SHA256SUMS lists other files than the zip holds"; exit 1; }
