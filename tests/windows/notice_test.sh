#!/usr/bin/env bash
# link-unwrapper.exe under Wine with an empty tail: a real message box with the Japanese
# notice appears, is photographed, is dismissed with Return, and the program exits with 0.
# Needs an X display (DISPLAY) and xdotool; the seventh argument is where screenshots go.
. "$(dirname "$0")/common.sh"
shots=$7
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null; then
  echo "no X display or no xdotool: skipped"
  exit 77
fi
mkdir -p "$shots"
caption="poktaキラー"

# Waits up to a minute for the notice window, and prints its id.
find_notice() {
  local attempt window
  for attempt in $(seq 120); do
    window=$(xdotool search --name "^${caption}\$" 2>/dev/null | head -n 1)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.5
  done
  return 1
}

# command line (printf %b) => screenshot name
cases=(
  "link-unwrapper.exe => name-only"
  "\"C:\\\\Program Files\\\\link-unwrapper.exe\" \\t  \\t => quoted-name-and-blanks"
  "\"C:\\\\link-unwrapper.exe ${pattern1}a.example/ => unterminated-quote"
)
for case in "${cases[@]}"; do
  start_case "$case"
  shot="$shots/notice-$wanted.png"
  rm -f "$shot"
  run_program "$command_line" >"$work/report" &
  runner=$!
  if window=$(find_notice); then
    expect_equal "title of the notice for [$command_line]" "$(xdotool getwindowname "$window")" \
      "$caption"
    import -window "$window" "$shot" || echo "could not take $shot"
    xdotool key --window "$window" Return
  else
    expect_equal "notice for [$command_line]" "none appeared" "a window titled $caption"
  fi
  wait "$runner"
  expect_run "$(cat "$work/report")" ""
  [ -s "$shot" ] && echo "screenshot: $shot"
done
finish
