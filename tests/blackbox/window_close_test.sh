# Closing a window from outside as its close button does reaches the loop as
# EVENT:CloseWindow; a refused close keeps the window open and the next one
# closes it and ends the loop. The "Close" button (standard action close) is
# a close request too, a button press is EVENT:Accepted for its field, and a
# parent asked to close while its child is open closes only after the child.
source "$(dirname "$0")/win_lib.sh"
cd "$WORK"
TITLE="Event Test"

# A refused close.
start_probe "$WORK/refuse.log" 'T$MAIN' refuse-close=1
wait_line refuse.log 'T$MAIN EVENT:OpenWindow 0'
robot close "$TITLE"; expect_status 0
wait_line refuse.log 'T$MAIN refused EVENT:CloseWindow'
# The pass that refused has ended once the next event arrives.
robot click "$TITLE" "&One"; expect_status 0
wait_line refuse.log 'T$MAIN EVENT:Accepted 1'
robot wait "$TITLE" 0
[ "$ROBOT_STATUS" = 0 ] || fail "the window closed although the close was refused"
robot close "$TITLE"; expect_status 0
wait_exit "$PROBE_PID" && { [ "$EXIT_STATUS" = 0 ] || fail "refuse: exit $EXIT_STATUS"; }
robot gone "$TITLE" 5000
[ "$ROBOT_STATUS" = 0 ] || fail "the window is still there after the second close"
expect_events refuse.log 'T$MAIN open Event Test
T$MAIN EVENT:OpenWindow 0
T$MAIN EVENT:CloseWindow 0
T$MAIN refused EVENT:CloseWindow
T$MAIN EVENT:Accepted 1
T$MAIN EVENT:CloseWindow 0
T$MAIN loop ended
T$MAIN closed
exit 0'

# The window's own "Close" button.
start_probe "$WORK/button.log" 'T$MAIN'
wait_line button.log 'T$MAIN EVENT:OpenWindow 0'
robot click "$TITLE" "Close"; expect_status 0
wait_exit "$PROBE_PID" && { [ "$EXIT_STATUS" = 0 ] || fail "button: exit $EXIT_STATUS"; }
expect_events button.log 'T$MAIN open Event Test
T$MAIN EVENT:OpenWindow 0
T$MAIN EVENT:CloseWindow 0
T$MAIN loop ended
T$MAIN closed
exit 0'

# A close request for the parent waits until the child opened from it has gone.
start_probe "$WORK/child.log" 'T$MAIN' child=1:T\$CHILD
wait_line child.log 'T$MAIN EVENT:OpenWindow 0'
robot click "$TITLE" "&One"; expect_status 0
wait_line child.log 'T$CHILD EVENT:OpenWindow 0'
robot close "$TITLE"; expect_status 0
robot click "Child Window" "OK"; expect_status 0
wait_line child.log 'T$CHILD EVENT:Accepted 1'
robot wait "$TITLE" 0
[ "$ROBOT_STATUS" = 0 ] || fail "the parent closed while its child was open"
robot close "Child Window"; expect_status 0
wait_exit "$PROBE_PID" && { [ "$EXIT_STATUS" = 0 ] || fail "child: exit $EXIT_STATUS"; }
expect_events child.log 'T$MAIN open Event Test
T$MAIN EVENT:OpenWindow 0
T$MAIN EVENT:Accepted 1
T$CHILD open Child Window
T$CHILD EVENT:OpenWindow 0
T$CHILD EVENT:Accepted 1
T$CHILD EVENT:CloseWindow 0
T$CHILD loop ended
T$CHILD closed
T$MAIN EVENT:CloseWindow 0
T$MAIN loop ended
T$MAIN closed
exit 0'
finish
