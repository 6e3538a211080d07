#!/usr/bin/env bash
# Checks qxlib.dll with objdump: it exports exactly the DLL_API_OBJ_
# functions that include/qxlib.h declares, by name, and it imports only
# Windows' own DLLs (the C++ runtime, libgcc and winpthread are linked in).
# With "-" for the header only the imports of a program are checked
# (qxcli.exe, which loads qxlib.dll at run time and imports nothing else).
#   check_exports.sh qxlib.dll include/qxlib.h [objdump]
#   check_exports.sh qxcli.exe - [objdump]
set -euo pipefail
dll=$1
header=$2
objdump=${3:-x86_64-w64-mingw32-objdump}

dump=$("$objdump" -p "$dll")
imported=$(awk '/DLL Name:/ { print $3 }' <<<"$dump" | sort -uf)
echo "imports of $dll:"
sed 's/^/  /' <<<"$imported"
status=0
# Windows' own DLLs only: no lib*.dll of the compiler's runtime
foreign=$(grep -viE '^(kernel32|msvcrt|ws2_32|winmm|user32|shell32|advapi32|ntdll|api-ms-win-[a-z0-9-]+)\.dll$' <<<"$imported" || true)
if [ -n "$foreign" ]; then
    echo "FAIL: imports beside the system's DLLs: $foreign"
    status=1
fi
if [ "$header" = - ]; then
    [ $status -eq 0 ] && echo "imports as expected"
    exit $status
fi

exported=$(awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                on && /^[[:space:]]*\[/ { print $NF; next }
                on { on = 0 }' <<<"$dump" | sort)
declared=$(grep -o 'DLL_API_OBJ_[A-Z_]*' "$header" | sort -u)
echo "exports of $dll:"
sed 's/^/  /' <<<"$exported"

if [ "$exported" != "$declared" ]; then
    echo "FAIL: the exports differ from qxlib.h's functions:"
    diff <(echo "$declared") <(echo "$exported") || true
    status=1
fi
if [ "$(wc -l <<<"$declared")" -ne 9 ]; then
    echo "FAIL: qxlib.h declares $(wc -l <<<"$declared") functions, not nine"
    status=1
fi
[ $status -eq 0 ] && echo "exports and imports as expected"
exit $status
