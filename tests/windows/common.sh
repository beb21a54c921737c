# Shared by the Windows end-to-end tests; sourced, not run.
# Arguments of every test: WINE_RUN LAUNCH_EXE PROGRAM_EXE RECORDER PATTERN_1 PATTERN_2
. "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
wine_run=$1 launch=$2 program=$3 recorder=$4 pattern1=$5 pattern2=$6

mkdir "$work/bin" "$work/records"
ln -s "$recorder" "$work/bin/xdg-open"
export PATH="$work/bin:$PATH" RECORD_DIR="$work/records"

# The Windows spelling of a path on this machine, through Wine's Z: drive.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The "open" command Wine sets up for the http and https classes.
wine_browser='"C:\windows\system32\winebrowser.exe" "%1"'

# A link of $1 characters: "http://x.example/" and filler.
link_of() { printf 'http://x.example/%s' "$(printf 'B%.0s' $(seq $(($1 - 17))))"; }

hex() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }

# Runs the program with exactly the command line $1 (bytes, as printf %b spells them) and
# prints what launch reports; with -w first, the bytes are UTF-8 and the program is started
# with CreateProcessW, as a Unicode caller starts it. With -o or -O first, $1 is a link that a
# caller asks the shell to "open", with ShellExecuteExA or, from UTF-8, ShellExecuteExW.
# Returns once every Wine process has ended, so any open request has reached the recorder.
run_program() {
  local mode=() target=("$(windows_path "$program")") command_line
  case "$1" in
    -w) mode=(-w) && shift ;;
    -o | -O) mode=("$1") target=() && shift ;;
  esac
  command_line=$(printf '%b' "$1")
  hex "$command_line" | "$wine_run" "$launch" "${mode[@]}" "${target[@]}" | tr -d '\r'
  wineserver -w
}

# Runs run_program with these arguments, pressing Return on each message box of ours that
# appears meanwhile; prints what run_program prints, then how many boxes there were.
run_answering() {
  local seen=() window runner
  run_program "$@" >"$work/report" &
  runner=$!
  while kill -0 "$runner" 2>/dev/null; do
    for window in $(xdotool search --name '^link-unwrapper$' 2>/dev/null); do
      [[ " ${seen[*]} " == *" $window "* ]] || seen+=("$window")
      xdotool key --window "$window" Return 2>/dev/null
    done
    sleep 0.2
  done
  wait "$runner"
  cat "$work/report"
  echo "boxes ${#seen[@]}"
}

# Every recorded call as one line: its arguments after the program name, NULs shown as |.
recorded_calls() {
  local file
  for file in "$RECORD_DIR"/call.*; do
    [ -e "$file" ] || continue
    tr '\0' '|' <"$file" | sed 's/^xdg-open|//; s/|$//'
    echo
  done
}

# Takes up one table row "COMMAND LINE => WANTED": sets $command_line and $wanted, and
# forgets the calls recorded for earlier rows.
start_case() {
  command_line=${1% => *} wanted=${1##* => }
  rm -f "$RECORD_DIR"/call.*
}

# What every row checks once the program has ended: exit code 0 in launch's report $1, and
# exactly the open requests $2, percent-decoded if $3 is "decoded".
expect_run() {
  local calls
  calls=$(recorded_calls)
  [ "${3:-}" = decoded ] && calls=$(printf '%b' "${calls//%/\\x}")
  expect_equal "exit code of [$command_line]" "$1" "exit code 0"
  expect_equal "open requests of [$command_line]" "$calls" "$2"
}
