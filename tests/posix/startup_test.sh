#!/usr/bin/env bash
# Start-up: a run that writes no line opens no locale file, which would cost every run; one
# that writes a line loads the locale to write it in; and only a run that forwards to a desktop
# entry loads GLib's GIO. Arguments: PROGRAM PATTERN_1
. "$(dirname "$0")/../checks.sh"
program=$1 pattern1=$2
strace=$(command -v strace) || { echo "no strace: skipped"; exit 77; }
mkdir "$work/bin"
ln -s /bin/true "$work/bin/xdg-open"

# What the program alone, not the opener it starts, loads: the locale's files, GIO, or none.
loads() {
  rm -f "$work/trace"
  env -i PATH="$work/bin" LANG=ja_JP.UTF-8 "$strace" -qq -e trace=open,openat -o "$work/trace" \
    "$program" "$@" </dev/null >/dev/null 2>&1
  [ -s "$work/trace" ] || { echo "not traced"; return; }
  local loaded=()
  grep -qE '"[^"]*/(locale|gconv)[^"]*"' "$work/trace" && loaded+=(locale)
  grep -qE '"[^"]*/libgio-2\.0\.so[^"]*"' "$work/trace" && loaded+=(gio)
  echo "${loaded[*]:-none}"
}

# arguments => what is loaded
cases=(
  "http://www.example.com/ => none"
  "${pattern1}a.example/ => none"
  "--print ${pattern1}a.example/ => none"
  "file:${pattern1} => locale"
  "-x => locale"
  "--forward-to gone.desktop ${pattern1}a.example/ => locale gio"
)
for case in "${cases[@]}"; do
  # shellcheck disable=SC2086  # the arguments are words
  expect_equal "what [${case% => *}] loads" "$(loads ${case% => *})" "${case##* => }"
done
finish
