# Screenshots of the control library: the window with every kind of control,
# the same window with a message box over it, with its drop-down list
# dropped, the list window with icons and a tree, and the main window's
# project list with its tag icons, each saved as a PNG
# artefact in build/screenshots/ (cropped to the window); a picture that is
# blank (one colour) fails. The box's default button answers Enter.
source "$(dirname "$0")/win_lib.sh"
SHOW="$MXB_BUILD/tests/programs/controls_show.exe"
SHOTS="$MXB_BUILD/screenshots"
mkdir -p "$SHOTS"

# shot NAME TITLE: saves the window TITLE's rectangle of the screen.
shot() {
  robot rect "$2"
  read -r _ l t r b <"$WORK/robot.txt"
  "$MXB_SOURCE/tools/robot/screenshot.sh" "$WORK/full.png" "$DISPLAY"
  /usr/bin/convert "$WORK/full.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$SHOTS/$1.png"
  local spread
  spread=$(/usr/bin/convert "$SHOTS/$1.png" -format '%[fx:standard_deviation]' info:)
  [ "$spread" != "0" ] || fail "$1.png is blank"
  echo "saved $SHOTS/$1.png"
}

# The window alone.
start_probe_program() {
  "$MXB_WINE" "$SHOW" "$(win "$1")" "$2" >/dev/null 2>&1 </dev/null &
  PROBE_PID=$!
  PROBE_PIDS+=("$PROBE_PID")
  wait_log_match "$1" '^pid [0-9]+$' && WINPID=$(raw_log "$1" | sed -n 's/^pid //p' | head -1)
}

start_probe_program "$WORK/window.log" window
wait_line "$WORK/window.log" open
robot wait Controls 10000
shot controls Controls
robot list Controls
expect_line $'KorDrop 16401 REPORTS.APP\t86,490'  # the selected row
robot close Controls
wait_line "$WORK/window.log" "exit 0"

# The drop-down list dropped over the window.
start_probe_program "$WORK/drop.log" drop
wait_line "$WORK/drop.log" "dropped 1"
robot wait Controls 10000
shot drop_down Controls
robot close Controls
wait_line "$WORK/drop.log" "exit 0"

# Icons from the program's resources, a tree column and sizing grips.
start_probe_program "$WORK/tree.log" tree
wait_line "$WORK/tree.log" open
robot wait Tree 10000
shot list_tree Tree
robot close Tree
wait_line "$WORK/tree.log" "exit 0"

# The main window's project list: its format string, the check mark icon.
start_probe_program "$WORK/tags.log" tags
wait_line "$WORK/tags.log" open
robot wait Tags 10000
shot list_tags Tags
robot close Tags
wait_line "$WORK/tags.log" "exit 0"

# The window with the message box over it.
start_probe_program "$WORK/box.log" box
wait_line "$WORK/box.log" open
robot wait Confirm 10000
shot message_box Confirm
robot list Confirm
expect_line "Button 100 &Save"
robot post Confirm 0x0100 0x0D  # WM_KEYDOWN Enter: the default button
wait_line "$WORK/box.log" "box 1"
robot close Controls
wait_line "$WORK/box.log" "exit 0"
finish
