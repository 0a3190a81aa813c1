#!/usr/bin/env bash
# End to end: a hotkey another client already holds is refused without harm, and a key Pimrose
# holds is refused to other clients.
# Usage: hotkey_held_elsewhere.sh PIMROSE_BINARY DRAG_SOURCE KEY_GRABBER
. "$(dirname "$0")/e2e_common.sh"
binary=$1
grabber=${4:-}
[ -x "$grabber" ] || { echo "SKIP: no key grabber built"; exit 0; }
ini=$XDG_CONFIG_HOME/Pimrose/Pimrose.ini

start_xvfb
start_openbox
mkdir -p "$(dirname "$ini")"
printf '[选择框]\n选择框_呼出窗口热键=真\n[组合框]\n下拉框_热键=%s\n' \
  'F1<|>0<||>F2<|>1<||>F3<|>2<||>F4<|>3<||>F5<|>4<||>F6<|>5<||>F7<|>6<||>F8<|>7<||>F9<|>8<||>F10<|>9<||>F11<|>10<||>F12<|>11<||>4<|>F5' \
  >"$ini"

# Someone else holds F5 first: Pimrose starts anyway and F5 stays theirs.
"$grabber" >"$WORK/grabber.log" 2>&1 &
grabber_pid=$!
PIDS+=("$grabber_pid")
check "the other client holds F5" wait_for_line "$WORK/grabber.log" '^grabbed=1' 10
start_pimrose "$binary"
check "Pimrose starts although F5 is taken" wait_window '^Pimrose$' 30
xdotool key F5
check "F5 reaches the other client" wait_for_line "$WORK/grabber.log" '^pressed' 10
check "the main window stays shown" wait_window '^Pimrose$' 2
kill "$grabber_pid"; wait "$grabber_pid" 2>/dev/null
kill -TERM "$PIMROSE_PID"
check "Pimrose ends on SIGTERM" wait_exit "$PIMROSE_PID" 20

# Pimrose holds F5: another client's grab is refused.
start_pimrose "$binary"
check "Pimrose shown" wait_window '^Pimrose$' 30
"$grabber" >"$WORK/grabber2.log" 2>&1 &
PIDS+=($!)
check "the other client is refused F5" wait_for_line "$WORK/grabber2.log" '^grabbed=0' 10
xdotool key F5
check "F5 toggles Pimrose" wait_gone '^Pimrose$' 10
summary
