# Asked whether the user may log off while a window is open, the program
# refuses: it shows the system-modal box "Application still active." with
# its module name as caption, the window stays open and no event reaches the
# loop.
source "$(dirname "$0")/win_lib.sh"
cd "$WORK"
TITLE="Event Test"
WM_QUERYENDSESSION=0x0011

start_probe "$WORK/logoff.log" 'T$MAIN'
wait_line logoff.log 'T$MAIN EVENT:OpenWindow 0'
robot post "$TITLE" $WM_QUERYENDSESSION 0 0; expect_status 0
robot msgbox winprobe OK 10000; expect_status 0
expect_line "caption winprobe"
expect_line 'text Application still active.\n\nQuit the application before quitting Windows.'
robot gone winprobe 5000
[ "$ROBOT_STATUS" = 0 ] || fail "the box did not close"
robot wait "$TITLE" 0
[ "$ROBOT_STATUS" = 0 ] || fail "the window closed"
robot close "$TITLE"; expect_status 0
wait_exit "$PROBE_PID" && { [ "$EXIT_STATUS" = 0 ] || fail "exit $EXIT_STATUS"; }
expect_events logoff.log 'T$MAIN open Event Test
T$MAIN EVENT:OpenWindow 0
T$MAIN EVENT:CloseWindow 0
T$MAIN loop ended
T$MAIN closed
exit 0'
finish
