# The activity-log record form "MXB004_RSC" in the real mxb.exe, from a
# filled log: View shows the highlighted record and a change saved through
# it is in the file; Delete with its confirmation removes the row and the
# record (Cancel keeps them); Insert ("Record will be Added") adds one.
# The file is read back with the velocore tool after each step.
# resource-lock: mxb_main_window
source "$(dirname "$0")/mxb_lib.sh"
LOG="Activity Log"
CHANGE="Record will be Changed" ADD="Record will be Added"
APPS=16388 DATE=16390 CLOCK=16392 EVENT=16394

# stored LINE WHAT / not_stored LINE WHAT: the log holds (or no longer
# holds) that record (apps,date,clock,event), read after the program ended.
dump() { "$MXB_WINE" "$VELOCORE" dump TEMPFILE.VEL --csv 2>/dev/null | tr -d '\r' >dump.txt; }
stored() {
  dump
  grep -qxF "$1" dump.txt || { echo "FAIL: $2"; cat dump.txt; FAILURES=$((FAILURES + 1)); }
}
not_stored() {
  dump
  ! grep -qF "$1" dump.txt || { echo "FAIL: $2"; cat dump.txt; FAILURES=$((FAILURES + 1)); }
}
# form_fields TITLE: the form's controls, their texts without trailing blanks.
form_fields() {
  robot list "$1"
  sed -i 's/ *$//' "$WORK/robot.txt"
}
# open_log: the log browse from the main window, on its first row.
open_log() {
  robot click "$TITLE" "&Log"
  robot wait "$LOG" 15000
  check "log window" [ "$ROBOT_STATUS" = 0 ]
}
# close_log: Close, then the program ends.
close_log() {
  robot click "$LOG" "&Close"
  robot gone "$LOG" 10000
  check "log closed" [ "$ROBOT_STATUS" = 0 ]
  stop_mxb
}
# rows_are N: within 10 s the log's list has N rows.
rows_are() {
  local end=$((SECONDS + 10))
  while [ $SECONDS -lt $end ]; do
    robot rows "$LOG" $LIST
    grep -qx "count $1" "$WORK/robot.txt" && return 0
    sleep 0.1
  done
  check "the log shows $1 rows" false
}

start_mxb
robot click "$TITLE" "&Log"
robot msgbox "$LOG" OK 15000
check "empty-log message" [ "$ROBOT_STATUS" = 0 ]
robot gone "$LOG" 5000
stop_mxb
# Day 79999 is 8 Jan 2020, 8280001 is 23:00:00.00.
load_table TEMPFILE.VEL 'TMP:APPS,TMP:DATE,TMP:CLOCK,TMP:EVENT
A.APP,79999,8280001,first step
B.APP,80000,3600001,second step
'


# View shows the highlighted record; the event and the date changed are
# written (8 Jan 2020 becomes 10 Jan, day 80001: the row moves last).
start_mxb
open_log
highlighted "first step" "$LOG"
robot click "$LOG" "&View"
robot wait "$CHANGE" 15000
check "view form" [ "$ROBOT_STATUS" = 0 ]
form_fields "$CHANGE"
expect_line "KorEdit $APPS A.APP"
expect_line "KorEdit $DATE  1/08/20"
expect_line "KorEdit $CLOCK 11:00PM"
expect_line "KorEdit $EVENT first step"
robot settext "$CHANGE" $EVENT "first step edited"
robot settext "$CHANGE" $DATE "1/10/20"
robot click "$CHANGE" "OK"
robot gone "$CHANGE" 15000
check "view form closed after OK" [ "$ROBOT_STATUS" = 0 ]
highlighted "first step edited" "$LOG"
robot key "$LOG" $LIST 36  # Home
highlighted "second step" "$LOG"
close_log
stored "A.APP,80001,8280001,first step edited" "the changed record is stored"
not_stored ",first step$" "the old record is gone"

# Insert: an empty form titled for adding; the typed record is added.
start_mxb
open_log
robot click "$LOG" "&Insert"
robot wait "$ADD" 15000
check "insert form" [ "$ROBOT_STATUS" = 0 ]
form_fields "$ADD"
expect_line "KorEdit $APPS"
expect_line "KorEdit $EVENT"
robot settext "$ADD" $APPS "C.APP"
robot settext "$ADD" $DATE "1/07/20"
robot settext "$ADD" $CLOCK "10:30AM"
robot settext "$ADD" $EVENT "inserted step"
robot click "$ADD" "OK"
robot gone "$ADD" 15000
check "insert form closed after OK" [ "$ROBOT_STATUS" = 0 ]
rows_are 3
highlighted "inserted step" "$LOG"
close_log
stored "C.APP,79998,3780001,inserted step" "the inserted record is stored"
stored "A.APP,80001,8280001,first step edited" "the earlier record stays"
# Delete: Cancel keeps the row, OK removes the row and the record; the
# last row, then the only one (the list is left empty: the pop-up offers
# Insert alone).
start_mxb
open_log
highlighted "inserted step" "$LOG"
robot click "$LOG" "&Delete"
robot msgbox "Confirm Delete" Cancel 15000
check "delete confirmation" [ "$ROBOT_STATUS" = 0 ]
rows_are 3
robot click "$LOG" "&Delete"
robot msgbox "Confirm Delete" OK 15000
check "delete confirmation again" [ "$ROBOT_STATUS" = 0 ]
rows_are 2
highlighted "second step" "$LOG"
robot key "$LOG" $LIST 35  # End
highlighted "first step edited" "$LOG"
robot click "$LOG" "&Delete"
robot msgbox "Confirm Delete" OK 15000
rows_are 1
highlighted "second step" "$LOG"
robot click "$LOG" "&Delete"
robot msgbox "Confirm Delete" OK 15000
rows_are 0
robot rbutton "$LOG" $LIST
robot menu 10000 0
check "pop-up on the emptied log" [ "$ROBOT_STATUS" = 0 ]
expect_line "item 1 enabled &Insert"
expect_line "item 2 grayed &View"
expect_line "item 3 grayed &Delete"
expect_line "item 4 grayed &Select"
close_log
dump
check "the log file is empty" [ "$(grep -c . dump.txt)" = 1 ]
finish
