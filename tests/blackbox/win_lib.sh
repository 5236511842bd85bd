# Shared by the window library's black-box tests (window_*_test.sh): starts
# winprobe.exe on the test windows (tests/windows/UITEST.wnd), waits on the
# log its loops write and drives its windows with the robot. Every wait is
# bounded; every probe this test started is ended when the test ends.
source "$(dirname "$0")/lib.sh"
WINPROBE="$MXB_BUILD/tests/programs/winprobe.exe"
PROBE_PIDS=()

probe_cleanup() {
  local pid
  for pid in "${PROBE_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$WORK"
}
trap probe_cleanup EXIT

fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }

# start_probe LOG ARGS...: starts winprobe with its log at LOG (a Unix path);
# its process id is left in PROBE_PID, and from its first log line its
# Windows process id, to which `robot` is then confined (other programs of
# the Wine session open windows with the same titles).
start_probe() {
  local log=$1
  shift
  "$MXB_WINE" "$WINPROBE" "$(win "$log")" "$@" >/dev/null 2>&1 </dev/null &
  PROBE_PID=$!
  PROBE_PIDS+=("$PROBE_PID")
  wait_log_match "$log" '^pid [0-9]+$' && WINPID=$(raw_log "$log" | sed -n 's/^pid //p' | head -1)
}

# robot ARGS...: the robot, looking only at the probe's windows.
robot() {
  "$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" --pid "${WINPID:-0}" "$@" >"$WORK/robot.out" \
    2>/dev/null </dev/null
  ROBOT_STATUS=$?
  tr -d '\r' <"$WORK/robot.out" >"$WORK/robot.txt"
}

# raw_log LOG: the log without carriage returns; log_text: without its pid line.
raw_log() { tr -d '\r' 2>/dev/null <"$1"; }
log_text() { raw_log "$1" | grep -v '^pid '; }

# wait_log_match LOG REGEX [MS]: a line of the log matches REGEX.
wait_log_match() {
  local deadline=$((SECONDS + ${3:-20000} / 1000))
  until raw_log "$1" | grep -qE -- "$2"; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      fail "no line like '$2' in the log"; echo "--- log:"; log_text "$1"; echo "---"
      return 1
    fi
    sleep 0.05
  done
}

# wait_line LOG LINE [MS]: the log has exactly that line.
wait_line() {
  local deadline=$((SECONDS + ${3:-20000} / 1000))
  until log_text "$1" | grep -qxF -- "$2"; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      fail "no line '$2' in the log"; echo "--- log:"; log_text "$1"; echo "---"
      return 1
    fi
    sleep 0.05
  done
}

# expect_log LOG EXPECTED: the whole log is EXPECTED (lines of text).
expect_log() {
  if [ "$(log_text "$1")" != "$2" ]; then
    fail "log differs"; echo "--- expected:"; echo "$2"; echo "--- got:"; log_text "$1"; echo "---"
  fi
}

# wait_exit PID [MS]: the process has ended; its status is left in EXIT_STATUS.
wait_exit() {
  local deadline=$((SECONDS + ${2:-20000} / 1000))
  while kill -0 "$1" 2>/dev/null; do
    [ "$SECONDS" -ge "$deadline" ] && { fail "process $1 did not end"; return 1; }
    sleep 0.05
  done
  wait "$1"
  EXIT_STATUS=$?
}

# without_along LOG: the log without the lines of the events that focus
# changes bring along whenever the platform moves the focus.
without_along() { log_text "$1" | grep -vE ' EVENT:(Selected|LoseFocus|GainFocus|Suspend|Resume) '; }

# expect_events LOG EXPECTED: the log without those lines is EXPECTED.
expect_events() {
  if [ "$(without_along "$1")" != "$2" ]; then
    fail "events differ"; echo "--- expected:"; echo "$2"; echo "--- got:"; log_text "$1"; echo "---"
  fi
}
