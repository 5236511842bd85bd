# Tag in the real mxb.exe: the highlighted project's tag becomes |tag - 1|,
# so a tag of 2 becomes 1, and tagging twice gives back what was there.
# resource-lock: mxb_main_window
source "$(dirname "$0")/mxb_lib.sh"
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
load_table APPS.VEL 'APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY
C:\P\,X.APP,2,1
C:\P\,Y.APP,0,2
'

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
