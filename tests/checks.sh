# Shared by the shell tests; sourced, not run. Gives a scratch folder $work that goes away
# on exit, and a tally of failed checks that `finish` turns into the exit status.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  printf 'FAIL %s\n' "$*"
  failures=$((failures + 1))
}

expect_equal() {  # what, actual, expected
  [ "$2" = "$3" ] && return
  fail "$(printf '%s\n  got:      %q\n  expected: %q' "$1" "$2" "$3")"
}

finish() {
  if [ "$failures" -eq 0 ]; then
    echo "all checks passed"
  else
    echo "$failures failed"
  fi
  [ "$failures" -eq 0 ]
}
