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

start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  PIDS+=($!)
  for _ in $(seq 200); do [ -s "$WORK/display" ] && break; sleep 0.025; done
  export DISPLAY=":$(head -1 "$WORK/display")" QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY
}

start_pimrose() {
  "$@" >>"$WORK/pimrose.log" 2>&1 &
  PIMROSE_PID=$!
  PIDS+=("$PIMROSE_PID")
}

# wait_window REGEX [SECONDS]: prints the first visible window whose name matches.
wait_window() {
  local end=$(($(ms) + ${2:-10} * 1000)) window
  while [ "$(ms)" -lt "$end" ]; do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.05
  done
  return 1
}

# wait_exit PID [SECONDS]: true once the process has ended.
wait_exit() {
  local end=$(($(ms) + ${2:-10} * 1000))
  while [ "$(ms)" -lt "$end" ]; do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.05
  done
  return 1
}

# wait_for_line FILE REGEX [SECONDS]: true once a line of FILE matches.
wait_for_line() {
  local end=$(($(ms) + ${3:-10} * 1000))
  while [ "$(ms)" -lt "$end" ]; do
    grep -qE -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

# wait_gone REGEX [SECONDS]: true once no visible window's name matches.
wait_gone() {
  local end=$(($(ms) + ${2:-10} * 1000))
  while [ "$(ms)" -lt "$end" ]; do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  return 1
}
