# Scrolling a project list of 1,000 records in the real mxb.exe: End, Home,
# Page Down, Down and a thumb drag to the middle; after each the highlighted
# row is the record the move leads to. Projects A0000..A0999 have priorities
# 0..249 in that order (four to a priority, in the order they were added).
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
selected_row() { sed -n 's/^selected //p' "$WORK/robot.txt"; }

# The program makes its empty list; the robot's table goes in beside it.
start_mxb
stop_mxb
"$MXB_WINE" "$VELOCORE" schema APPS.VEL >schema.json 2>/dev/null
{
  echo "APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY"
  for i in $(seq 0 999); do printf 'C:\\P\\,A%04d.APP,0,%d\n' "$i" $((i / 4)); done
} >rows.csv
"$MXB_WINE" "$VELOCORE" load APPS.VEL UNNAMED --schema schema.json --csv rows.csv >/dev/null 2>&1
check "1,000 projects loaded" [ "$?" = 0 ]

start_mxb
highlighted A0000.APP
PAGE=$(sed -n 's/^count //p' "$WORK/robot.txt")
check "a page of rows ($PAGE)" [ "$PAGE" -ge 3 ] && [ "$PAGE" -lt 100 ]
check "first row highlighted" [ "$(selected_row)" = 0 ]

robot key "$TITLE" $LIST 35  # End
highlighted A0999.APP
check "last row of the page" [ "$(selected_row)" = $((PAGE - 1)) ]

robot key "$TITLE" $LIST 36  # Home
highlighted A0000.APP
robot key "$TITLE" $LIST 34  # Page Down: the highlight keeps its place on the next page
highlighted "$(printf 'A%04d.APP' "$PAGE")"
check "still the first row" [ "$(selected_row)" = 0 ]
robot key "$TITLE" $LIST 40  # Down
highlighted "$(printf 'A%04d.APP' $((PAGE + 1)))"
check "second row" [ "$(selected_row)" = 1 ]

robot vscroll "$TITLE" $LIST 4 50  # thumb released half-way: record 499 of 0..999
highlighted A0499.APP
robot vscroll "$TITLE" $LIST 4 100
highlighted A0999.APP

stop_mxb
finish
