# Shared helpers of the end-to-end tests: a private Xvfb, private runtime and config folders, and
# checks that count passes and failures. Everything started here is killed by PID on exit.
set -u
WORK=$(mktemp -d "${TMPDIR:-/tmp}/pimrose-e2e.XXXXXX")
export XDG_RUNTIME_DIR=$WORK/runtime XDG_CONFIG_HOME=$WORK/config HOME=$WORK/home
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$HOME"
# The real program on a real X server: libraries below Qt keep caches to the end, so leaks are
# checked by the unit tests, not here.
export QT_QPA_PLATFORMTHEME= ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
PIDS=()
PASSES=0
FAILS=0

cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  if [ "$FAILS" -eq 0 ]; then rm -rf "$WORK"; else echo "logs kept in $WORK"; tail -n 30 "$WORK"/*.log; fi
}
trap cleanup EXIT

ms() { echo $(($(date +%s%N) / 1000000)); }
check() {
  local what=$1
  shift
  if "$@" >/dev/null; then echo "PASS: $what"; PASSES=$((PASSES + 1)); else echo "FAIL: $what"; FAILS=$((FAILS + 1)); fi
}
summary() {
  # The program must still be running (no crash went unnoticed) and no sanitizer may have spoken.
  if [ -n "${PIMROSE_PID:-}" ]; then check "the program is still running" kill -0 "$PIMROSE_PID"; fi
  check "no sanitizer report" bash -c "! grep -qE 'ERROR: [A-Za-z]+Sanitizer|runtime error:|WARNING: ThreadSanitizer' '$WORK'/*.log"
  echo "$PASSES passed, $FAILS failed"
  [ "$FAILS" -eq 0 ]
}

# start_xvfb [WIDTHxHEIGHT]: 1600x1000 unless told.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${1:-1600x1000}x24" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  PIDS+=($!)
  # A busy machine may take seconds to bring the server up: wait for its number, then for it to
  # answer, so that nothing started next (a window manager) finds no display.
  for _ in $(seq 1200); do [ -s "$WORK/display" ] && break; sleep 0.025; done
  export DISPLAY=":$(head -1 "$WORK/display")" QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY
  within 30 display_up || echo "Xvfb did not come up on $DISPLAY" >&2
}
display_up() { xprop -root >/dev/null 2>&1; }

start_pimrose() {
  "$@" >>"$WORK/pimrose.log" 2>&1 &
  PIMROSE_PID=$!
  PIDS+=("$PIMROSE_PID")
}

# within SECONDS COMMAND...: true once COMMAND succeeds, false when SECONDS have passed.
within() {
  local end=$(($(ms) + $1 * 1000))
  shift
  while [ "$(ms)" -lt "$end" ]; do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

first_window() {
  local window
  window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
  [ -n "$window" ] && echo "$window"
}
process_gone() { ! kill -0 "$1" 2>/dev/null; }
line_in() { grep -qE -- "$2" "$1" 2>/dev/null; }
no_window() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
window_manager_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# wait_window REGEX [SECONDS]: prints the first visible window whose name matches.
wait_window() { within "${2:-10}" first_window "$1"; }
# wait_exit PID [SECONDS]: true once the process has ended.
wait_exit() { within "${2:-10}" process_gone "$1"; }
# wait_for_line FILE REGEX [SECONDS]: true once a line of FILE matches.
wait_for_line() { within "${3:-10}" line_in "$1" "$2"; }
# wait_gone REGEX [SECONDS]: true once no visible window's name matches.
wait_gone() { within "${2:-10}" no_window "$1"; }
# count_lines FILE REGEX: how many lines of FILE match (0 when there is no file yet).
count_lines() { grep -cE -- "$2" "$1" 2>/dev/null || true; }
at_least() { [ "$(count_lines "$1" "$2")" -ge "$3" ] 2>/dev/null; }
# wait_count FILE REGEX N [SECONDS]: true once at least N lines of FILE match.
wait_count() { within "${4:-5}" at_least "$1" "$2" "$3"; }

# A real window manager (openbox), for what only one does: iconic states, stacking, the work area.
start_openbox() {
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  PIDS+=($!)
  within 10 window_manager_up
}

# start_main_window PROGRAM ARGS...: starts Pimrose and sets `main` to its main window; a test
# without one cannot go on.
start_main_window() {
  start_pimrose "$@"
  main=$(wait_window '^Pimrose$' 30)
  check "main window shown" test -n "$main"
  [ -n "$main" ] || { summary; exit 1; }
}

# start_on_own_display PROGRAM ARGS...: Xvfb and Pimrose, and `main` set to its main window. Other
# test runs on this machine start and end X servers too; when the program could not reach ours, it
# is started again on a new one (three times at most).
start_on_own_display() {
  for _ in 1 2 3; do
    start_xvfb
    start_pimrose "$@"
    main=$(wait_window '^Pimrose$' 30) && break
  done
  check "main window shows" test -n "$main"
}

# drop_from_source DRAG_SOURCE PATH...: starts the test drag source offering PATHs and drags them
# with the pointer onto the main window's middle.
drop_from_source() {
  local drag_source=$1 source
  shift
  "$drag_source" "$@" >"$WORK/source.log" 2>&1 &
  PIDS+=($!)
  source=$(wait_window '^Pimrose test drag source$' 20)
  check "drag source shows" test -n "$source"
  wait_for_line "$WORK/source.log" 'drag source ready' 20
  xdotool mousemove --window "$source" 100 80 mousedown 1 sleep 0.05 \
    mousemove --window "$main" 590 340 sleep 0.05 mousemove --window "$main" 600 350 sleep 0.2 mouseup 1
  check "the drop was taken" wait_for_line "$WORK/source.log" 'drag finished action=[12]' 10
}
