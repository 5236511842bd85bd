# The activity-log browse in the real mxb.exe: before any batch run the log
# is created empty and "&Log" shows its message and returns; with steps in
# the log, "Activity Log" lists them oldest first (date, then time, whatever
# order they were added in), End reaches the newest, and "&Close" returns.
# resource-lock: mxb_main_window
source "$(dirname "$0")/mxb_lib.sh"
LOG="Activity Log"

start_mxb
robot click "$TITLE" "&Log"
robot msgbox "$LOG" OK 15000
check "empty-log message" [ "$ROBOT_STATUS" = 0 ]
expect_line "text No records in DDE Activity Log."
robot gone "$LOG" 5000
check "no log window" [ "$ROBOT_STATUS" = 0 ]
stop_mxb
check "the log was created" [ -f TEMPFILE.VEL ]

# Added out of order: day 80000 at 10:00, day 79999 at 23:00, day 80000 at 09:00.
load_table TEMPFILE.VEL 'TMP:APPS,TMP:DATE,TMP:CLOCK,TMP:EVENT
B.APP,80000,3600001,second day late
A.APP,79999,8280001,first day
C.APP,80000,3240001,second day early
'

start_mxb
robot click "$TITLE" "&Log"
robot wait "$LOG" 15000
check "log window" [ "$ROBOT_STATUS" = 0 ]
highlighted "first day" "$LOG"
expect_line "count 3"
robot key "$LOG" $LIST 35  # End
highlighted "second day late" "$LOG"
robot key "$LOG" $LIST 38  # Up
highlighted "second day early" "$LOG"
robot click "$LOG" "&Close"
robot gone "$LOG" 10000
check "log closed" [ "$ROBOT_STATUS" = 0 ]
stop_mxb
finish
