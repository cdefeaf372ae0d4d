#!/usr/bin/env bash
# Static check of a launcher: its machine type, and that it imports only
# from Windows system DLLs (no C++ runtime, libgcc or winpthread DLL).
set -euo pipefail
image=$1 expected_format=$2
objdump=x86_64-w64-mingw32-objdump

format=$($objdump -f "$image" | sed -n 's/.*file format pei-//p')
[ "$format" = "$expected_format" ] || { echo "$image: format pei-$format, expected pei-$expected_format"; exit 1; }

dlls=$($objdump -p "$image" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
echo "$image imports: $(echo $dlls)"
for dll in $dlls; do
  case "$dll" in
    KERNEL32.DLL|USER32.DLL|GDI32.DLL|MSVCRT.DLL) ;;
    *) echo "$image: imports $dll"; exit 1 ;;
  esac
done
grep -qx KERNEL32.DLL <<<"$dlls" || { echo "$image: no KERNEL32 import"; exit 1; }
