#!/usr/bin/env bash
# The Windows .zip: the program, the README and the licence, and the program is the very
# one the other tests ran. Arguments: BUILD_DIR PROGRAM
. "$(dirname "$0")/../checks.sh"
build=$1 program=$2

(cd "$build" && cpack -G ZIP -B "$work" >/dev/null) || fail "cpack"
zip=$(ls "$work"/link-unwrapper-*-win64.zip 2>/dev/null)
if [ -n "$zip" ]; then
  contents=$(unzip -Z1 "$zip" | sort | xargs)
  [ "$contents" = "LICENSE README.md link-unwrapper.exe" ] || fail "contents: $contents"
  unzip -p "$zip" link-unwrapper.exe >"$work/zipped.exe"
  expect_same_file "zipped program" "$work/zipped.exe" "$program"
else
  fail "no .zip"
fi
finish
