#!/bin/sh
# Stands in for xdg-open, a browser or a dialog: records how it was called, then maybe dawdles.
# Each call leaves one file in $RECORD_DIR holding its name and arguments, each ended by a NUL.
PATH=/usr/bin:/bin
file=$(mktemp "$RECORD_DIR/call.XXXXXX") || exit 1
printf '%s\0' "${0##*/}" "$@" >"$file"
if [ -n "$RECORDER_SLEEP" ]; then
  sleep "$RECORDER_SLEEP"
fi
