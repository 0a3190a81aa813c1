#!/usr/bin/env bash
# End to end: a second start of the real program calls the first one up and ends with exit code 0.
# Usage: single_instance.sh PIMROSE_BINARY
. "$(dirname "$0")/e2e_common.sh"
binary=$1

start_xvfb
start_openbox
start_pimrose "$binary"
first=$(wait_window '^Pimrose$' 30)
check "first instance shows its main window" test -n "$first"
[ -n "$first" ] || { summary; exit 1; }

# Minimised by the window manager, the first window is called up again by the second start.
xdotool windowminimize "$first"
check "the first window can be minimised" wait_gone '^Pimrose$' 10

"$binary" >"$WORK/second.log" 2>&1 &
second=$!
check "second start ends by itself" wait_exit "$second" 20
wait "$second"; code=$?
check "second start exits with code 0" test "$code" -eq 0
check "the first instance keeps running" kill -0 "$PIMROSE_PID"
check "the first window is shown again" wait_window '^Pimrose$' 10
check "exactly one main window" test "$(xdotool search --onlyvisible --name '^Pimrose$' | wc -l)" -eq 1

rm -f "$XDG_RUNTIME_DIR/Pimrose.lock"
kill -9 "$PIMROSE_PID"; wait "$PIMROSE_PID" 2>/dev/null
check "the crashed instance left its socket behind" test -S "$XDG_RUNTIME_DIR/Pimrose"
start_pimrose "$binary"
check "a stale socket does not block the next start" wait_window '^Pimrose$' 20
summary
