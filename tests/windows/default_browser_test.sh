#!/usr/bin/env bash
# link-unwrapper.exe as the browser under Wine: --set-default points the http and https
# classes Wine's shell reads at it, and every caller's "open" of a web link then reaches
# Wine's browser (the recorder behind xdg-open) through it, wrapped links unwrapped;
# --unset-default gives Wine its commands back. What the registry holds is read back after
# each. The program's message boxes are counted and dismissed: this needs an X display.
. "$(dirname "$0")/common.sh"
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null; then
  echo "no X display or no xdotool: skipped"
  exit 77
fi
exe=$(windows_path "$program")

# The data of value $2 (the default if empty) of key $1 as reg shows it, or "absent".
reg_value() {
  local which=(/ve) data
  [ -n "$2" ] && which=(/v "$2")
  data=$(WINE_LANG=C.UTF-8 "$wine_run" reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' |
    sed -n 's/^    .*    REG_[A-Z_]*    //p')
  echo "${data:-absent}"
}

# Each row "KEY|VALUE => DATA" of the layout $1 names, read back.
expect_registry() {
  local -n rows=$1
  local row key_value
  for row in "${rows[@]}"; do
    key_value=${row% => *}
    expect_equal "$1: $key_value" "$(reg_value "${key_value%|*}" "${key_value##*|}")" \
      "${row##* => }"
  done
}

capabilities='Software\Clients\StartMenuInternet\LinkUnwrapper\Capabilities'
# The documented layout, per user, and under Wine the classes its shell reads.
registered=(
  "HKCR\\http\\shell\\open\\command| => \"$exe\" --forward-to LinkUnwrapper.WineHttp \"%1\""
  "HKCR\\https\\shell\\open\\command| => \"$exe\" --forward-to LinkUnwrapper.WineHttps \"%1\""
  "HKCR\\LinkUnwrapper.WineHttp\\shell\\open\\command| => $wine_browser"
  "HKCR\\LinkUnwrapper.WineHttps\\shell\\open\\command| => $wine_browser"
  "HKCU\\Software\\Classes\\LinkUnwrapper.Forward\\shell\\open\\command| => \"$exe\" --forward-to LinkUnwrapper.WineHttps \"%1\""
  "HKCU\\$capabilities|ApplicationName => Link Unwrapper"
  "HKCU\\$capabilities\\URLAssociations|http => LinkUnwrapper.Forward"
  "HKCU\\$capabilities\\URLAssociations|https => LinkUnwrapper.Forward"
  "HKCU\\Software\\RegisteredApplications|LinkUnwrapper => $capabilities"
)
# What Wine has.
unregistered=(
  "HKCR\\http\\shell\\open\\command| => $wine_browser"
  "HKCR\\https\\shell\\open\\command| => $wine_browser"
  "HKCR\\LinkUnwrapper.WineHttp| => absent"
  "HKCR\\LinkUnwrapper.WineHttps| => absent"
  "HKCU\\Software\\Classes\\LinkUnwrapper.Forward| => absent"
  "HKCU\\Software\\Clients\\StartMenuInternet\\LinkUnwrapper| => absent"
  "HKCU\\Software\\RegisteredApplications|LinkUnwrapper => absent"
)

# Each row: how the program is run (a command line; or -o/-O and a link a caller opens),
# then "=>" the links Wine's browser gets (decoded) and the boxes shown. Every box is one
# copy of ours that said something: a loop would show more.
check_rows() {
  local -n rows=$1
  local row how
  for row in "${rows[@]}"; do
    start_case "${row% | *}"
    how=()
    [[ "$command_line" == -[oOw]\ * ]] && how=("${command_line%% *}") command_line=${command_line#* }
    local report
    report=$(WINE_LANG="${WINE_LANG:-ja_JP.UTF-8}" run_answering "${how[@]}" "$command_line")
    local calls
    calls=$(recorded_calls)
    calls=$(printf '%b' "${calls//%/\\x}")
    expect_equal "launch's report for [$1: $command_line]" "$(head -n 1 <<<"$report")" \
      "$([ ${#how[@]} -gt 0 ] && [ "${how[0]}" != -w ] && echo opened || echo exit code 0)"
    expect_equal "open requests of [$1: $command_line]" "$calls" "$wanted"
    expect_equal "boxes for [$1: $command_line]" "$(tail -n 1 <<<"$report")" "boxes ${row##* | }"
  done
}

setting_up=(
  "link-unwrapper.exe --set-default =>  | 1"
  "link-unwrapper.exe --set-default =>  | 1"
)
# Standing in for the browser: the caller's "open" reaches us, and Wine's browser then.
forwarded=(
  "-o ${pattern1}www.example.com/a?b=1 => http://www.example.com/a?b=1 | 0"
  "-O ${pattern2}ja.wikipedia.org/wiki/東京 => http://ja.wikipedia.org/wiki/東京 | 0"
  "-o https://www.example.com/p?q=x'y => https://www.example.com/p?q=x'y | 0"
  "-O https://www.example.com/Café => https://www.example.com/Café | 0"
  # As Wine's shell starts us: lengths up to the bound, and past it a box that says so.
  "link-unwrapper.exe --forward-to LinkUnwrapper.WineHttp \"${pattern1}$(link_of 259 | cut -c 8-)\" => $(link_of 259) | 0"
  "link-unwrapper.exe --forward-to LinkUnwrapper.WineHttp \"${pattern1}$(link_of 900 | cut -c 8-)\" => $(link_of 900) | 0"
  "link-unwrapper.exe --forward-to LinkUnwrapper.WineHttp \"${pattern1}$(link_of 1000 | cut -c 8-)\" =>  | 1"
  # A class that would start us again, or is gone: nothing opened, one box, one copy.
  "link-unwrapper.exe --forward-to LinkUnwrapper.Forward \"${pattern1}www.example.com/\" =>  | 1"
  "link-unwrapper.exe --forward-to Gone.Class \"${pattern1}www.example.com/\" =>  | 1"
)
undoing=(
  "link-unwrapper.exe --unset-default =>  | 1"
  "-o ${pattern1}www.example.com/ => ${pattern1}www.example.com/ | 0"
  "link-unwrapper.exe --unset-default =>  | 1"
)

expect_registry unregistered
check_rows setting_up
expect_registry registered
check_rows forwarded
WINE_LANG=C.UTF-8 check_rows forwarded
check_rows undoing
expect_registry unregistered
finish
