#!/usr/bin/env bash
# Start-up: a run that writes no line opens no locale file, which would cost every run; one
# that writes a line loads the locale to write it in. Arguments: PROGRAM PATTERN_1
. "$(dirname "$0")/../checks.sh"
program=$1 pattern1=$2
strace=$(command -v strace) || { echo "no strace: skipped"; exit 77; }
mkdir "$work/bin"
ln -s /bin/true "$work/bin/xdg-open"

# Whether the program alone, not the opener it starts, opens a file of the locale's.
opens_locale() {
  rm -f "$work/trace"
  env -i PATH="$work/bin" LANG=ja_JP.UTF-8 "$strace" -qq -e trace=open,openat -o "$work/trace" \
    "$program" "$@" </dev/null >/dev/null 2>&1
  [ -s "$work/trace" ] || { echo "not traced"; return; }
  grep -qE '"[^"]*/(locale|gconv)[^"]*"' "$work/trace" && echo yes || echo no
}

# arguments => whether a locale file is opened
cases=(
  "http://www.example.com/ => no"
  "${pattern1}a.example/ => no"
  "--print ${pattern1}a.example/ => no"
  "file:${pattern1} => yes"
  "-x => yes"
)
for case in "${cases[@]}"; do
  # shellcheck disable=SC2086  # the arguments are words
  expect_equal "locale files opened by [${case% => *}]" "$(opens_locale ${case% => *})" \
    "${case##* => }"
done
finish
