# The activity-log browse in the real mxb.exe: before any batch run the log
# is created empty and "&Log" shows its message and returns; with steps in
# the log, "Activity Log" lists them oldest first (date, then time, whatever
# order they were added in), End reaches the newest, and "&Close" returns.
# resource-lock: mxb_main_window
source "$(dirname "$0")/lib.sh"
cd "$WORK"
TITLE="Tessaly (Batch Compile Manager)"
LOG="Activity Log"
LIST=16385
VELOCORE="$MXB_BUILD/tools/velocore/velocore.exe"
MXB_PID=
trap '[ -n "$MXB_PID" ] && kill "$MXB_PID" 2>/dev/null; rm -rf "$WORK"' EXIT

check() {  # check WHAT CONDITION...
  local what=$1
  shift
  "$@" || { echo "FAIL: $what"; cat "$WORK/robot.txt"; FAILURES=$((FAILURES + 1)); }
}
start_mxb() {
  "$MXB_WINE" "$MXB_BUILD/app/mxb.exe" </dev/null >/dev/null 2>&1 &
  MXB_PID=$!
  robot wait "$TITLE" 30000
  check "main window" [ "$ROBOT_STATUS" = 0 ]
  robot msgbox Warning OK 1500  # the not-running warning, if any
}
stop_mxb() {
  robot close "$TITLE"
  for _ in $(seq 150); do kill -0 "$MXB_PID" 2>/dev/null || break; sleep 0.1; done
  wait "$MXB_PID"
  check "mxb ends with 0" [ "$?" = 0 ]
  MXB_PID=
}
# log_current EVENT: within 10 s the log's selected row is that event.
log_current() {
  for _ in $(seq 100); do
    robot rows "$LOG" $LIST
    grep -qE "^current .*	$1\$" "$WORK/robot.txt" && return 0
    sleep 0.1
  done
  echo "FAIL: selected log row is not $1"
  cat "$WORK/robot.txt"
  FAILURES=$((FAILURES + 1))
}

start_mxb
robot click "$TITLE" "&Log"
robot msgbox "$LOG" OK 15000
check "empty-log message" [ "$ROBOT_STATUS" = 0 ]
expect_line "text No records in DDE Activity Log."
robot gone "$LOG" 5000
check "no log window" [ "$ROBOT_STATUS" = 0 ]
stop_mxb
check "the log was created" [ -f TEMPFILE.VEL ]

"$MXB_WINE" "$VELOCORE" schema TEMPFILE.VEL >schema.json 2>/dev/null
# Added out of order: day 80000 at 10:00, day 79999 at 23:00, day 80000 at 09:00.
cat >rows.csv <<'END'
TMP:APPS,TMP:DATE,TMP:CLOCK,TMP:EVENT
B.APP,80000,3600001,second day late
A.APP,79999,8280001,first day
C.APP,80000,3240001,second day early
END
"$MXB_WINE" "$VELOCORE" load TEMPFILE.VEL UNNAMED --schema schema.json --csv rows.csv >/dev/null 2>&1
check "steps loaded" [ "$?" = 0 ]

start_mxb
robot click "$TITLE" "&Log"
robot wait "$LOG" 15000
check "log window" [ "$ROBOT_STATUS" = 0 ]
log_current "first day"
expect_line "count 3"
robot key "$LOG" $LIST 35  # End
log_current "second day late"
robot key "$LOG" $LIST 38  # Up
log_current "second day early"
robot click "$LOG" "&Close"
robot gone "$LOG" 10000
check "log closed" [ "$ROBOT_STATUS" = 0 ]
stop_mxb
finish
