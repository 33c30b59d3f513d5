#!/usr/bin/env bash
# Compares the names a library exports with the expected list, one name a line: the defined
# dynamic symbols of an ELF shared object, or the export name table of a PE DLL (where a
# decorated name such as GetPelkPluginName@8 counts as unexpected).
set -euo pipefail
lib=$1 expected=$2
if [[ $(head -c 2 "$lib") == MZ ]]; then
  actual=$(i686-w64-mingw32-objdump -p "$lib" |
           sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ { print $NF }' | sort)
else
  actual=$(nm -D --defined-only "$lib" | awk '$2 == "T" || $2 == "W" { print $3 }' | sort)
fi
want=$(grep -v '^#' "$expected" | sed '/^$/d' | sort)
if [[ "$actual" != "$want" ]]; then
  diff <(echo "$want") <(echo "$actual") | sed 's/^</missing:/; s/^>/unexpected:/'
  exit 1
fi
echo "exports match ($(echo "$actual" | wc -l) names)"
