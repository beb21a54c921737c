#!/usr/bin/env bash
# The Windows .zip: the program, a README.txt for Windows users that names this build's two
# services, the licence, both texts with CRLF line ends, and the program is the very one the
# other tests ran. Arguments: BUILD_DIR PROGRAM HOST_1 HOST_2
. "$(dirname "$0")/../checks.sh"
build=$1 program=$2 host1=$3 host2=$4

# Whether every line of the zipped text file $1 ends with CR LF.
crlf_only() {
  [ -n "$(unzip -p "$zip" "$1")" ] && ! unzip -p "$zip" "$1" | grep -q $'[^\r]$\|^$'
}

(cd "$build" && cpack -G ZIP -B "$work" >/dev/null) || fail "cpack"
zip=$(ls "$work"/link-unwrapper-*-win64.zip 2>/dev/null)
if [ -n "$zip" ]; then
  contents=$(unzip -Z1 "$zip" | sort | xargs)
  expect_equal contents "$contents" "LICENSE README.md README.txt link-unwrapper.exe"
  unzip -p "$zip" link-unwrapper.exe >"$work/zipped.exe"
  expect_same_file "zipped program" "$work/zipped.exe" "$program"
  for text in README.txt LICENSE; do
    crlf_only "$text" || fail "$text has lines that do not end with CR LF"
  done
  for host in "$host1" "$host2"; do
    unzip -p "$zip" README.txt | grep -qx "    $host"$'\r' || fail "README.txt does not name $host"
  done
else
  fail "no .zip"
fi
finish
