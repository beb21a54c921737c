#!/usr/bin/env bash
# The shipped .exe itself: a GUI-subsystem PE that imports only what every Windows has,
# and carries no resources. Arguments: OBJDUMP EXE
set -u
objdump=$1 exe=$2
headers=$("$objdump" -p "$exe") || exit 1
sections=$("$objdump" -h "$exe") || exit 1
failures=0
check() {  # what, actual, expected
  [ "$2" = "$3" ] && return
  printf 'FAIL %s\n  got:      %s\n  expected: %s\n' "$1" "$2" "$3"
  failures=$((failures + 1))
}
check subsystem "$(awk '$1 == "Subsystem" {print $2, $3, $4}' <<<"$headers")" \
  "00000002 (Windows GUI)"
check imports "$(grep 'DLL Name:' <<<"$headers" | awk '{print toupper($3)}' | sort | xargs)" \
  "KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL"
check "resource section" "$(grep -c '\.rsrc' <<<"$sections")" "0"
[ "$failures" -eq 0 ] && echo "all checks passed"
[ "$failures" -eq 0 ]
