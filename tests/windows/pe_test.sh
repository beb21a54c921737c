#!/usr/bin/env bash
# The shipped .exe itself: a GUI-subsystem PE that imports only what every Windows has,
# and carries no resources. Arguments: OBJDUMP EXE
. "$(dirname "$0")/../checks.sh"
objdump=$1 exe=$2
headers=$("$objdump" -p "$exe") || exit 1
sections=$("$objdump" -h "$exe") || exit 1
expect_equal subsystem "$(awk '$1 == "Subsystem" {print $2, $3, $4}' <<<"$headers")" \
  "00000002 (Windows GUI)"
expect_equal imports "$(grep 'DLL Name:' <<<"$headers" | awk '{print toupper($3)}' | sort | xargs)" \
  "ADVAPI32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL"
expect_equal "resource section" "$(grep -c '\.rsrc' <<<"$sections")" "0"
finish
