# The pop-up menu of the lists in the real mxb.exe (a right-button press on
# the list): on an empty project list only "&Insert" is enabled; on a filled
# one its second entry opens the change form; on the log browse opened from
# the main window "&Select" is disabled and "&View" opens the record.
# resource-lock: mxb_main_window
source "$(dirname "$0")/mxb_lib.sh"
LOG="Activity Log"

# popup WINDOW [CHOICE]: a right-button press on the window's list; the
# menu's entries are left in robot.txt, CHOICE (if given) is then chosen.
popup() {
  robot rbutton "$1" $LIST
  robot menu 10000 ${2:-}
  check "pop-up menu on $1 (robot status $ROBOT_STATUS)" [ "$ROBOT_STATUS" = 0 ]
}

start_mxb
popup "$TITLE" 0
expect_line "item 1 enabled &Insert"
expect_line "item 2 grayed Chan&ge"
expect_line "item 3 grayed &Delete"
expect_no_line "^item 4"
stop_mxb
finish
