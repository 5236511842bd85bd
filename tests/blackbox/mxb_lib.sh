# Shared by the black-box tests of mxb.exe's browses and forms: starting
# and stopping the real program, and the robot confined to its windows
# (other tests run programs with the same window titles at the same time).
# Every wait is bounded.
source "$(dirname "$0")/lib.sh"
cd "$WORK"
TITLE="Tessaly (Batch Compile Manager)"
LIST=16385  # field 1: a control's identifier is its field number + 16384
VELOCORE="$MXB_BUILD/tools/velocore/velocore.exe"
MXB_PIDS=()   # Unix ids of the programs started
MXB_KNOWN=()  # Windows ids of main windows already there or already ours
MXB_WIN=      # the Windows id the robot looks at (empty: any)
trap 'for p in "${MXB_PIDS[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$WORK"' EXIT

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

# main_pids: the Windows ids of all main windows now.
main_pids() {
  local keep=$MXB_WIN
  MXB_WIN=
  robot pids "$TITLE"
  MXB_WIN=$keep
  sed -n 's/^pid //p' "$WORK/robot.txt"
}

# start_mxb: one more mxb.exe; the robot then looks at its windows only
# (its Windows id in MXB_WIN, its Unix id last in MXB_PIDS).
start_mxb() {
  mapfile -t -O "${#MXB_KNOWN[@]}" MXB_KNOWN < <(main_pids)
  "$MXB_WINE" "$MXB_BUILD/app/mxb.exe" </dev/null >/dev/null 2>&1 &
  MXB_PIDS+=($!)
  MXB_WIN=
  local end=$((SECONDS + 30)) fresh
  while [ $SECONDS -lt $end ]; do
    fresh=$(main_pids | grep -vxF -f <(printf '%s\n' "${MXB_KNOWN[@]}" none))
    [ "$(printf '%s' "$fresh" | grep -c .)" = 1 ] && break
    sleep 0.1
  done
  check "one new main window ($fresh)" [ "$(printf '%s' "$fresh" | grep -c .)" = 1 ]
  MXB_WIN=$fresh
  MXB_KNOWN+=("$fresh")
  robot msgbox Warning OK 1500  # the not-running warning, if any
}

# stop_mxb [UNIX_PID]: closes the robot's program; it ends with 0 within 15 s.
stop_mxb() {
  local pid=${1:-${MXB_PIDS[-1]}}
  robot close "$TITLE"
  local end=$((SECONDS + 15))
  while [ $SECONDS -lt $end ] && kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  wait "$pid"
  check "mxb ends with 0" [ "$?" = 0 ]
  # Its Windows id may be given to a later program.
  local left=() p
  for p in "${MXB_KNOWN[@]}"; do [ "$p" = "$MXB_WIN" ] || left+=("$p"); done
  MXB_KNOWN=("${left[@]}")
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
