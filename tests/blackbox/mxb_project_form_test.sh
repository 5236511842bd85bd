# The project list and its form in the real mxb.exe: insert through the
# file lookup (answered by the robot), the duplicate in another letter case
# (warning 24 naming APP:DriveKey), a file that does not exist ("Don't Do
# That!"), a path typed without its "\" (stored with one), a confirmed
# delete (by the button, and refused by the list's Delete key), and the log
# browse of an empty log (its message, no window).
# resource-lock: mxb_main_window
source "$(dirname "$0")/mxb_lib.sh"
NAME=16386 PATHF=16389 APPF=16391
mkdir src
: >src/PROJ.APP
: >src/OTHER.APP
SRC=$(win "$WORK/src")

# rows: the list's count, selection and selected row (priority 0 shows blank, @n3B).
rows() { robot rows "$TITLE" $LIST; }
# form_fields: the form's controls, their texts without the pictures' blanks.
form_fields() {
  robot list "Record will be Added"
  sed -i 's/ *$//' "$WORK/robot.txt"
}
# box CAPTION BUTTON: a message box with that caption comes; BUTTON closes it.
box() {
  robot msgbox "$1" "$2" 15000
  check "message box $1" [ "$ROBOT_STATUS" = 0 ]
}

start_mxb
rows
expect_line "count 0"

# Insert through the lookup: the name splits at its last "\".
robot click "$TITLE" "&Insert"
robot wait "Record will be Added" 15000
check "insert form" [ "$ROBOT_STATUS" = 0 ]
robot click "Record will be Added" "..."
robot filedialog "Choose a File" "$SRC\\PROJ.APP" 15000
check "file dialog" [ "$ROBOT_STATUS" = 0 ]
END=$((SECONDS + 10))
while [ $SECONDS -lt $END ]; do
  form_fields
  grep -qF "PROJ.APP" "$WORK/robot.txt" && break
  sleep 0.1
done
expect_line "KorEdit $PATHF $SRC\\"
expect_line "KorEdit $APPF PROJ.APP"
robot click "Record will be Added" "&Ok"
robot gone "Record will be Added" 15000
check "form closed after insert" [ "$ROBOT_STATUS" = 0 ]
rows
expect_line "count 1"
expect_line "current 		$SRC\\	PROJ.APP"

# The same project in lower case: warning 24, the form stays.
robot click "$TITLE" "&Insert"
robot wait "Record will be Added" 15000
robot settext "Record will be Added" $NAME "${SRC,,}\\proj.app"
robot settext "Record will be Added" $PATHF "${SRC,,}\\"
robot settext "Record will be Added" $APPF "proj.app"
robot click "Record will be Added" "&Ok"
box "Duplicate Key Error" OK
expect_line "text Adding this record creates a duplicate entry for the key:APP:DriveKey"

# A name that is not there: "Don't Do That!", the form stays.
robot settext "Record will be Added" $NAME "$SRC\\NOPE.APP"
robot click "Record will be Added" "&Ok"
box "Don't Do That!" OK
expect_line "text File not found. Press DosFileLookUp button to call File Lookup Dialog."

# A path typed without "\" is stored with one.
robot settext "Record will be Added" $NAME "$SRC\\OTHER.APP"
robot settext "Record will be Added" $PATHF "$SRC"
robot settext "Record will be Added" $APPF "OTHER.APP"
robot click "Record will be Added" "&Ok"
robot gone "Record will be Added" 15000
check "form closed after the second insert" [ "$ROBOT_STATUS" = 0 ]
rows
expect_line "count 2"
expect_line "current 		$SRC\\	OTHER.APP"
expect_line "selected 1"

# Delete the highlighted (new) project after confirming.
robot click "$TITLE" "&Delete"
box "Confirm Delete" OK
END=$((SECONDS + 10))
while [ $SECONDS -lt $END ]; do
  rows
  grep -qx "count 1" "$WORK/robot.txt" && break
  sleep 0.1
done
expect_line "count 1"
expect_line "current 		$SRC\\	PROJ.APP"

# The Delete key on the list is its alert key: the same confirmation;
# Cancel keeps the project.
robot key "$TITLE" $LIST 46
box "Confirm Delete" Cancel
rows
expect_line "count 1"

# Enter on the list (as a double click) opens the change form; Cancel.
robot key "$TITLE" $LIST 13
robot wait "Record will be Changed" 15000
check "change form from the list" [ "$ROBOT_STATUS" = 0 ]
robot list "Record will be Changed"
sed -i 's/ *$//' "$WORK/robot.txt"
expect_line "KorEdit $NAME $SRC\\PROJ.APP"
robot click "Record will be Changed" "&Cancel"
robot gone "Record will be Changed" 15000
check "change form cancelled" [ "$ROBOT_STATUS" = 0 ]

# The log before any batch run: its message, and back at once.
robot click "$TITLE" "&Log"
box "Activity Log" OK
expect_line "text No records in DDE Activity Log."
robot gone "Activity Log" 5000
check "no log window" [ "$ROBOT_STATUS" = 0 ]

stop_mxb
finish
