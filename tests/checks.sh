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

expect_same_file() {  # what, actual, expected
  cmp -s "$2" "$3" || fail "$1 is not the tested one"
}

# Its exit status, not its output: a lintian that is missing or breaks must fail too.
expect_lintian_clean() {  # package
  lintian --allow-root --fail-on error,warning "$1" || fail "lintian (exit status $?)"
}

finish() {
  if [ "$failures" -eq 0 ]; then
    echo "all checks passed"
  else
    echo "$failures failed"
  fi
  [ "$failures" -eq 0 ]
}
