#!/usr/bin/env bash
# Compares the dynamic symbols a library defines with the expected list, one name a line.
set -euo pipefail
lib=$1 expected=$2
actual=$(nm -D --defined-only "$lib" | awk '$2 == "T" || $2 == "W" { print $3 }' | sort)
want=$(grep -v '^#' "$expected" | sed '/^$/d' | sort)
if [[ "$actual" != "$want" ]]; then
  diff <(echo "$want") <(echo "$actual") | sed 's/^</missing:/; s/^>/unexpected:/'
  exit 1
fi
echo "exports match ($(echo "$actual" | wc -l) names)"
