#!/usr/bin/env bash
# End to end: something that is not a settings file at the settings path (a FIFO, a link to /dev/zero)
# neither holds up the start nor the exit; the window comes, SIGTERM ends the program, and what was
# there is left as it was.
# Usage: settings_not_a_file.sh PIMROSE_BINARY
. "$(dirname "$0")/e2e_common.sh"
binary=$1
ini=$XDG_CONFIG_HOME/Pimrose/Pimrose.ini
mkdir -p "$(dirname "$ini")"

start_xvfb

# start_and_end WHAT: the main window shows, and SIGTERM ends the program with exit code 0.
start_and_end() {
  start_pimrose "$binary"
  check "$1: main window shown" wait_window '^Pimrose$' 30
  kill -TERM "$PIMROSE_PID"
  check "$1: SIGTERM ends the program" wait_exit "$PIMROSE_PID" 20
  wait "$PIMROSE_PID"; local code=$?
  check "$1: exit code 0" test "$code" -eq 0
  PIMROSE_PID=
}

mkfifo "$ini"
start_and_end "a FIFO"
check "the FIFO is still a FIFO" test -p "$ini"
rm "$ini"

ln -s /dev/zero "$ini"
start_and_end "a link to /dev/zero"
check "the link still points at /dev/zero" test "$(readlink "$ini")" = /dev/zero
summary
