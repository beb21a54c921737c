#!/bin/sh
# Stands in for xdg-open, a browser or a dialog: records how it was called, then maybe dawdles.
# Each call leaves one file in $RECORD_DIR holding its name and arguments, each ended by a NUL,
# and beside it, where /proc tells, what it inherited: its session, the signals it ignores,
# its standard streams and fd 9 (empty when closed) and the signals its parent ignores; and
# its whole environment as it was handed over, each variable ended by a NUL.
PATH=/usr/bin:/bin
file=$(mktemp "$RECORD_DIR/call.XXXXXX") || exit 1
printf '%s\0' "${0##*/}" "$@" >"$file"
if [ -r /proc/$$/stat ]; then
  read -r _ _ _ _ _ session _ </proc/$$/stat
  # Read before the redirection below puts the record in place of stdout.
  streams=$(for fd in 0 1 2 9; do printf 'fd%s %s\n' $fd "$(readlink /proc/$$/fd/$fd)"; done)
  {
    echo "session $session"
    grep '^SigIgn:' /proc/$$/status
    echo "$streams"
    printf 'parent '
    grep '^SigIgn:' /proc/$PPID/status
  } >"$RECORD_DIR/process.${file##*.}"
  cat /proc/$$/environ >"$RECORD_DIR/environment.${file##*.}"
fi
if [ -n "$RECORDER_SLEEP" ]; then
  sleep "$RECORDER_SLEEP"
fi
