#!/usr/bin/env bash
# End to end: exit while the program's workers wait on a network share that no longer answers. The
# thumbnail loaders, the details reader, a new listing and the lookup of a click's file are all stuck
# in the share's calls; a SIGTERM still saves the settings and ends the process while the share
# keeps hanging.
# Usage: exit_on_slow_disk.sh PIMROSE_BINARY DRAG_SOURCE FILE_MANAGER KEY_GRABBER DROP_TARGET SLOW_FS
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
slow_fs=${8:-none}
ini=$XDG_CONFIG_HOME/Pimrose/Pimrose.ini
export QT_LOGGING_RULES="pimrose.app=true;pimrose.browsing=true"
[ -x "$slow_fs" ] || { echo "SKIP: no slow file system built (libfuse3-dev)"; exit 0; }
[ -e /dev/fuse ] || { echo "SKIP: no /dev/fuse"; exit 0; }

# A share of six pictures whose every call takes 100 ms, until it hangs.
share=$WORK/share
mkdir -p "$WORK/source" "$share"
for n in 1 2 3 4 5 6; do convert -size 640x480 xc:red "$WORK/source/photo$n.png"; done
"$slow_fs" "$WORK/source" "$share" 100 >"$WORK/slow_fs.log" 2>&1 &
slow_fs_pid=$!
PIDS+=("$slow_fs_pid")
mounted() { grep -q " $share " /proc/mounts; }
within 10 mounted || { echo "SKIP: FUSE cannot be mounted here"; cat "$WORK/slow_fs.log"; exit 0; }
# The share answers again and goes before the folders are removed, however the test ends.
release_share() {
  kill -USR2 "$slow_fs_pid" 2>/dev/null
  fusermount3 -u -z "$share" 2>/dev/null
}
trap 'release_share; cleanup' EXIT
# A click opens with the desktop's handler: a stand-in that only notes it.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\necho "xdg-open $*" >>"%s/xdg-open.log"\n' "$WORK" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"

start_xvfb
start_main_window "$binary"
drop_from_source "$drag_source" "$share"
check "the share was listed" wait_for_line "$WORK/pimrose.log" 'found 6 pictures' 30
kill -USR2 "$slow_fs_pid"
# The loaders are reading thumbnails from the share now; a click asks for a details line and the
# file's lookup, a second drop for a new listing: all of them wait on the hung share.
xdotool mousemove --window "$main" 143 175 click 1
drop_from_source "$drag_source" "$share"

kill -TERM "$PIMROSE_PID"
ended=no
wait_exit "$PIMROSE_PID" 20 && ended=yes
check "SIGTERM ends the program while the share hangs" test "$ended" = yes
if [ "$ended" = yes ]; then
  wait "$PIMROSE_PID"; code=$?
  check "exit code 0" test "$code" -eq 0
else
  kill -KILL "$PIMROSE_PID"
fi
check "the settings were written" grep -q '^选择框_最小化到托盘=' "$ini"
PIMROSE_PID=  # it ended on purpose
summary
