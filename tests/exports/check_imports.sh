#!/usr/bin/env bash
# A Windows DLL that needs nothing beside it: every DLL it imports is one of Windows' own.
set -euo pipefail
lib=$1
system_dlls=(advapi32.dll bcrypt.dll crypt32.dll gdi32.dll kernel32.dll mpr.dll msvcrt.dll
             ole32.dll shell32.dll user32.dll version.dll winmm.dll ws2_32.dll)
imports=$(i686-w64-mingw32-objdump -p "$lib" | awk '/DLL Name:/ { print tolower($3) }' | sort -u)
[[ -n $imports ]] || { echo "no imports found in $lib"; exit 1; }
status=0
for dll in $imports; do
  if [[ " ${system_dlls[*]} " != *" $dll "* ]]; then
    echo "imports $dll, which is not part of Windows"
    status=1
  fi
done
echo "imports: $(echo $imports)"
exit $status
