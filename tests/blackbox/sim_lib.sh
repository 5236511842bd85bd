# Shared by the stand-in's black-box tests (sim_*_test.sh): starts Z9EE.exe,
# waits on its event log, drives it with the raw DDE client ddeprobe.exe and
# compares what came back. Every wait is bounded; every stand-in this test
# started is ended when the test ends.
source "$(dirname "$0")/lib.sh"
Z9EE="$MXB_BUILD/app/Z9EE.exe"
DDEPROBE="$MXB_BUILD/tests/programs/ddeprobe.exe"
# A service of this test's own: tests run side by side in one Wine session,
# and a broadcast initiate reaches every stand-in that runs.
SERVICE="Sim$(basename "$0" _test.sh | tr -dc 'a-z')$$"
SIM_PIDS=()

sim_cleanup() {
  local pid
  for pid in "${SIM_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$WORK"
}
trap sim_cleanup EXIT

fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }

# start_sim LOG [SWITCH...]: starts the stand-in in the current directory
# with its event log at LOG (a Unix path); its process id is left in SIM_PID.
# /idle makes sure a stand-in never outlives its test for long.
start_sim() {
  local log=$1
  shift
  "$MXB_WINE" "$Z9EE" "/log=$(win "$log")" /idle=120000 "$@" >/dev/null 2>&1 </dev/null &
  SIM_PID=$!
  SIM_PIDS+=("$SIM_PID")
}

# log_text LOG: the event log without its carriage returns.
log_text() { tr -d '\r' 2>/dev/null <"$1"; }

# wait_log LOG REGEX [MS]: a line of the log matches REGEX (grep -E).
wait_log() {
  local deadline=$((SECONDS + ${3:-30000} / 1000))
  until log_text "$1" | grep -qE -- "$2"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# wait_exit PID [MS]: the process has ended; its exit status is left in
# EXIT_STATUS.
wait_exit() {
  local deadline=$((SECONDS + ${2:-30000} / 1000))
  while kill -0 "$1" 2>/dev/null; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
  wait "$1"
  EXIT_STATUS=$?
}

# start_ready LOG [SWITCH...]: starts the stand-in and waits until it answers.
start_ready() {
  start_sim "$@"
  wait_log "$1" $'^ready\t0\tok\t' 60000 || fail "the stand-in did not get ready ($1)"
}

# probe STEP...: runs ddeprobe; its output is left in $WORK/robot.txt for
# expect_line and expect_output.
probe() {
  "$MXB_WINE" "$DDEPROBE" "$@" >"$WORK/robot.out" 2>/dev/null </dev/null
  ROBOT_STATUS=$?
  tr -d '\r' <"$WORK/robot.out" >"$WORK/robot.txt"
}

# expect_output: the last probe's whole output equals standard input.
expect_output() {
  if ! diff -u - "$WORK/robot.txt" >"$WORK/diff.txt"; then
    echo "FAIL: probe output differs (- expected, + actual):"; cat "$WORK/diff.txt"
    FAILURES=$((FAILURES + 1))
  fi
}

# expect_log LOG LINE: the event log holds exactly this line.
expect_log() {
  if ! log_text "$1" | grep -qxF -- "$2"; then
    echo "FAIL: expected log line: $2"; echo "--- log:"; log_text "$1"; echo "---"
    FAILURES=$((FAILURES + 1))
  fi
}

# expect_event LOG KIND RESULT DETAIL: the log holds an event with exactly
# these fields, in whichever conversation: a test's stand-in also answers
# the initiates other tests broadcast for an empty service, so conversation
# numbers are not the test's own.
expect_event() {
  # The fields reach awk through the environment: -v would read escapes.
  if ! log_text "$1" | EK="$2" ER="$3" ED="$4" awk -F'\t' \
      'NF == 4 && $1 == ENVIRON["EK"] && $2 ~ /^[0-9]+$/ && $3 == ENVIRON["ER"] &&
       $4 == ENVIRON["ED"] { found = 1 } END { exit !found }'; then
    echo "FAIL: expected log event: $2 <n> $3 $4"; echo "--- log:"; log_text "$1"; echo "---"
    FAILURES=$((FAILURES + 1))
  fi
}

expect_no_log() {  # expect_no_log LOG REGEX
  if log_text "$1" | grep -qE -- "$2"; then
    echo "FAIL: unexpected log line matching: $2"; log_text "$1"
    FAILURES=$((FAILURES + 1))
  fi
}

# pad255 TEXT: TEXT padded with blanks to the 255 characters the client sends.
pad255() { printf '%-255s' "$1"; }
