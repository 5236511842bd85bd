# The pop-up menu of the lists in the real mxb.exe (a right-button press on
# the list): on an empty project list only "&Insert" is enabled; on a filled
# one its second entry opens the change form; on the log browse opened from
# the main window "&Select" is disabled and "&View" opens the record.
# resource-lock: mxb_main_window
source "$(dirname "$0")/mxb_lib.sh"
LOG="Activity Log"

# popup WINDOW [CHOICE [ROW]]: a right-button press on the window's list
# (above its rows, or on row ROW); the menu's entries are left in robot.txt,
# CHOICE (if given) is then chosen.
popup() {
  robot rbutton "$1" $LIST ${3:-}
  robot menu 10000 ${2:-}
  check "pop-up menu on $1 (robot status $ROBOT_STATUS)" [ "$ROBOT_STATUS" = 0 ]
}

# The empty list (made by this first start): Insert alone; dismissed.
start_mxb
popup "$TITLE" 0
expect_line "item 1 enabled &Insert"
expect_line "item 2 grayed Chan&ge"
expect_line "item 3 grayed &Delete"
expect_no_line "^item 4"
# The log is made empty on its first opening: its message, no browse.
robot click "$TITLE" "&Log"
robot msgbox "$LOG" OK 15000
check "empty-log message" [ "$ROBOT_STATUS" = 0 ]
robot gone "$LOG" 5000
stop_mxb

load_table APPS.VEL 'APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY
C:\P\,X.APP,0,1
C:\P\,Y.APP,0,2
'
load_table TEMPFILE.VEL 'TMP:APPS,TMP:DATE,TMP:CLOCK,TMP:EVENT
A.APP,79999,8280001,first step
B.APP,80000,3600001,second step
'

# A filled list: all three entries; the second opens the change form.
start_mxb
highlighted X.APP
popup "$TITLE" 2
expect_line "item 1 enabled &Insert"
expect_line "item 2 enabled Chan&ge"
expect_line "item 3 enabled &Delete"
expect_no_line "^item 4"
robot wait "Record will be Changed" 15000
check "change form from the pop-up" [ "$ROBOT_STATUS" = 0 ]
robot click "Record will be Changed" "&Cancel"
robot gone "Record will be Changed" 15000
check "change form cancelled" [ "$ROBOT_STATUS" = 0 ]

# A right press on another row selects it: the change form is that row's.
popup "$TITLE" 2 1
highlighted Y.APP
robot wait "Record will be Changed" 15000
check "change form of the pressed row" [ "$ROBOT_STATUS" = 0 ]
robot list "Record will be Changed"
sed -i 's/ *$//' "$WORK/robot.txt"
expect_line "KorEdit 16391 Y.APP"
robot click "Record will be Changed" "&Cancel"
robot gone "Record will be Changed" 15000
check "second change form cancelled" [ "$ROBOT_STATUS" = 0 ]

# The log from the main window: Select disabled; View opens the record.
robot click "$TITLE" "&Log"
robot wait "$LOG" 15000
check "log window" [ "$ROBOT_STATUS" = 0 ]
highlighted "first step" "$LOG"
popup "$LOG" 2
expect_line "item 1 enabled &Insert"
expect_line "item 2 enabled &View"
expect_line "item 3 enabled &Delete"
expect_line "item 4 grayed &Select"
robot wait "Record will be Changed" 15000
check "log record from the pop-up" [ "$ROBOT_STATUS" = 0 ]
robot click "Record will be Changed" "Cancel"
robot gone "Record will be Changed" 15000
check "log record cancelled" [ "$ROBOT_STATUS" = 0 ]
# A disabled entry chosen does nothing: the next pop-up comes on the same
# browse, and no form opened meanwhile.
popup "$LOG" 4
popup "$LOG" 0
expect_line "item 4 grayed &Select"
robot gone "Record will be Changed" 0
check "no form after the disabled entry" [ "$ROBOT_STATUS" = 0 ]
robot click "$LOG" "&Close"
robot gone "$LOG" 10000
check "log closed" [ "$ROBOT_STATUS" = 0 ]
stop_mxb
finish
