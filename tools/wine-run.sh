#!/usr/bin/env bash
# Runs a Windows test program under 64-bit Wine for ctest. Its output goes
# through a file: a Wine service that the program starts inherits the
# output and outlives the program, and on ctest's pipe it would keep ctest
# waiting for the end of the output.
log=$(mktemp)
/usr/lib/wine/wine64 "$@" </dev/null >"$log" 2>&1
status=$?
cat "$log"
rm -f "$log"
exit $status
