# Shared by the black-box tests of mxb.exe's browses and forms: starting
# and stopping the real program, and the robot confined to its windows
# (other tests run programs with the same window titles at the same time).
# Every wait is bounded.
source "$(dirname "$0")/lib.sh"
cd "$WORK"
TITLE="Tessaly (Batch Compile Manager)"
LIST=16385  # field 1: a control's identifier is its field number + 16384
VELOCORE="$MXB_BUILD/tools/velocore/velocore.exe"
MXB_PIDS=()   # Unix ids of the robots running the programs started
declare -A MXB_RUN=()   # Unix id -> the run's output file
declare -A MXB_WINPID=()  # Unix id -> the program's Windows id
MXB_WIN=      # the Windows id the robot looks at (empty: any)
# A program left running by a failed check is ended by its Windows id (ending
# the robot that runs it would leave it behind).
mxb_cleanup() {
  local p
  for p in "${MXB_PIDS[@]}"; do
    kill -0 "$p" 2>/dev/null || continue
    [ -n "${MXB_WINPID[$p]:-}" ] &&
      "$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" kill "${MXB_WINPID[$p]}" >/dev/null 2>&1 </dev/null
    kill "$p" 2>/dev/null
  done
  rm -rf "$WORK"
}
trap mxb_cleanup EXIT

# robot ARGS...: as lib.sh's, looking only at the windows of $MXB_WIN.
robot() {
  if [ -n "$MXB_WIN" ]; then
    "$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" --pid "$MXB_WIN" "$@" >"$WORK/robot.out" 2>/dev/null </dev/null
  else
    "$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" "$@" >"$WORK/robot.out" 2>/dev/null </dev/null
  fi
  ROBOT_STATUS=$?
  tr -d '\r' <"$WORK/robot.out" >"$WORK/robot.txt"
}

check() {  # check WHAT CONDITION...
  local what=$1
  shift
  "$@" || { echo "FAIL: $what"; cat "$WORK/robot.txt"; FAILURES=$((FAILURES + 1)); }
}

# start_mxb: one more mxb.exe, started by `robot run`, whose first line gives
# the program's Windows id: other tests start programs with the same window
# titles at the same time, so a window that merely appears may be theirs.
# The robot then looks at this program's windows only (its Windows id in
# MXB_WIN, the robot's Unix id last in MXB_PIDS).
start_mxb() {
  local out="$WORK/mxb_run.${#MXB_PIDS[@]}.txt" end=$((SECONDS + 30)) pid=
  "$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" run --timeout 280000 -- \
    "$(win "$MXB_BUILD/app/mxb.exe")" </dev/null >"$out" 2>/dev/null &
  MXB_PIDS+=($!)
  MXB_RUN[$!]=$out
  while [ $SECONDS -lt $end ]; do
    pid=$(tr -d '\r' <"$out" | sed -n 's/^pid \([0-9]*\)$/\1/p')
    [ -n "$pid" ] && break
    sleep 0.1
  done
  MXB_WIN=$pid
  MXB_WINPID[${MXB_PIDS[-1]}]=$pid
  check "mxb.exe started" [ -n "$pid" ]
  robot wait "$TITLE" 30000
  check "its main window" [ "$ROBOT_STATUS" = 0 ]
  robot msgbox Warning OK 1500  # the not-running warning, if any
}

# stop_mxb [UNIX_PID]: closes the robot's program; it ends with 0 within 15 s.
stop_mxb() {
  local pid=${1:-${MXB_PIDS[-1]}}
  robot close "$TITLE"
  local end=$((SECONDS + 15))
  while [ $SECONDS -lt $end ] && kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  tr -d '\r' <"${MXB_RUN[$pid]}" >"$WORK/robot.txt"
  check "mxb ends with 0" grep -qx "exit 0" "$WORK/robot.txt"
}

# highlighted NAME [WINDOW]: within 10 s the selected row of the window's
# list (default the main window's) ends with the column NAME.
highlighted() {
  local window=${2:-$TITLE} end=$((SECONDS + 10))
  while [ $SECONDS -lt $end ]; do
    robot rows "$window" $LIST
    grep -qE "^current .*	$1\$" "$WORK/robot.txt" && return 0
    sleep 0.1
  done
  echo "FAIL: highlighted row is not $1"
  cat "$WORK/robot.txt"
  FAILURES=$((FAILURES + 1))
}

# load_table FILE CSV: the program's empty FILE (made by starting it once)
# filled from the CSV text with the velocore tool.
load_table() {
  "$MXB_WINE" "$VELOCORE" schema "$1" >schema.json 2>/dev/null
  printf '%s' "$2" >rows.csv
  "$MXB_WINE" "$VELOCORE" load "$1" UNNAMED --schema schema.json --csv rows.csv >/dev/null 2>&1
  check "$1 loaded" [ "$?" = 0 ]
}
