# Tag in the real mxb.exe: the highlighted project's tag becomes |tag - 1|,
# so a tag of 2 becomes 1, and tagging twice gives back what was there.
# resource-lock: mxb_main_window
source "$(dirname "$0")/lib.sh"
cd "$WORK"
TITLE="Tessaly (Batch Compile Manager)"
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
# highlighted NAME: within 10 s the list's selected row is project NAME.
highlighted() {
  for _ in $(seq 100); do
    robot rows "$TITLE" $LIST
    grep -qE "^current .*	$1\$" "$WORK/robot.txt" && return 0
    sleep 0.1
  done
  echo "FAIL: highlighted row is not $1"
  cat "$WORK/robot.txt"
  FAILURES=$((FAILURES + 1))
}
# tag_press NAME: presses Tag on project NAME (highlighted); the press is
# handled before the close that stop_mxb queues after it.
tag_press() {
  robot click "$TITLE" "&Tag"
  highlighted "$1"
}
# stored LINE WHAT: the file holds that record (path,name,tag,priority).
stored() {
  "$MXB_WINE" "$VELOCORE" dump APPS.VEL --csv 2>/dev/null | tr -d '\r' >dump.txt
  grep -qxF "$1" dump.txt || { echo "FAIL: $2"; cat dump.txt; FAILURES=$((FAILURES + 1)); }
}

start_mxb
stop_mxb
"$MXB_WINE" "$VELOCORE" schema APPS.VEL >schema.json 2>/dev/null
printf 'APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY\nC:\\P\\,X.APP,2,1\nC:\\P\\,Y.APP,0,2\n' >rows.csv
"$MXB_WINE" "$VELOCORE" load APPS.VEL UNNAMED --schema schema.json --csv rows.csv >/dev/null 2>&1
check "projects loaded" [ "$?" = 0 ]

start_mxb
highlighted X.APP
tag_press X.APP
robot key "$TITLE" $LIST 40  # Down
highlighted Y.APP
tag_press Y.APP
stop_mxb
stored 'C:\P\,X.APP,1,1' "tag 2 became 1"
stored 'C:\P\,Y.APP,1,2' "tag 0 became 1"

start_mxb
robot key "$TITLE" $LIST 40  # Down
highlighted Y.APP
tag_press Y.APP
stop_mxb
stored 'C:\P\,Y.APP,0,2' "a second tag restored 0"
finish
