#!/usr/bin/env bash
# End to end: the settings file goes through the real program and back, a SIGTERM saves it, and the
# hotkey on F5 calls the main window up and hides it.
# Usage: settings_survive.sh PIMROSE_BINARY
. "$(dirname "$0")/e2e_common.sh"
binary=$1
ini=$XDG_CONFIG_HOME/Pimrose/Pimrose.ini

start_xvfb
start_openbox

# A file as an earlier version wrote it: CR LF, a comment and a section nobody owns.
mkdir -p "$(dirname "$ini")"
keys='F1<|>0<||>F2<|>1<||>F3<|>2<||>F4<|>3<||>F5<|>4<||>F6<|>5<||>F7<|>6<||>F8<|>7<||>F9<|>8<||>F10<|>9<||>F11<|>10<||>F12<|>11<||>4<|>F5'
printf '; mine\r\n[其他]\r\n保留=原样\r\n[编辑框]\r\n配置_代理1=a><br><b#引号c\r\n[选择框]\r\n选择框_快速加载=真\r\n选择框_呼出窗口热键=真\r\n[组合框]\r\n下拉框_热键=%s\r\n[初始化]\r\n图片比例=30\r\n' "$keys" >"$ini"

start_main_window "$binary"

# The hotkey: F5 hides the shown window and calls it up again, whatever window has the focus.
xdotool key F5
check "F5 hides the main window" wait_gone '^Pimrose$' 10
xdotool key F5
check "F5 calls it up again" wait_window '^Pimrose$' 10

kill -TERM "$PIMROSE_PID"
check "SIGTERM ends the program" wait_exit "$PIMROSE_PID" 20
wait "$PIMROSE_PID"; code=$?
check "exit code 0 after SIGTERM" test "$code" -eq 0
check "unknown lines kept byte for byte" grep -q $'^; mine\r$' "$ini"
check "unknown section kept" grep -q $'^保留=原样\r$' "$ini"
check "edit text saved back as written" grep -qF $'配置_代理1=a><br><b#引号c\r' "$ini"
check "check box saved" grep -q $'^选择框_快速加载=真\r$' "$ini"
check "hotkey key saved" grep -qF "下拉框_热键=$keys"$'\r' "$ini"
check "slider position saved" grep -q $'^图片比例=30\r$' "$ini"
check "every control of the window is saved" grep -q $'^选择框_最小化到托盘=假\r$' "$ini"
check "no temporary file left" test ! -e "$ini.saving"

# A new start reads it all back: the hotkey works again at once.
start_pimrose "$binary"
check "main window shown again" wait_window '^Pimrose$' 30
xdotool key F5
check "the restored hotkey hides the window" wait_gone '^Pimrose$' 10
kill -INT "$PIMROSE_PID"
check "SIGINT ends the program too" wait_exit "$PIMROSE_PID" 20
PIMROSE_PID=  # it ended on purpose
summary
