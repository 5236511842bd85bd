# An event the loop body posts in one pass reaches the next pass with its
# field (EVENT:Accepted for field 3: FIELD 3), an event for a field the window
# lacks is dropped, and a window event without a name still arrives.
source "$(dirname "$0")/win_lib.sh"
cd "$WORK"
TITLE="Event Test"

# post LOG RULE: runs T$MAIN with the rule until the loop has seen the
# events that follow EVENT:OpenWindow, then closes it.
post() {
  start_probe "$WORK/$1" 'T$MAIN' "$2"
  wait_line "$1" 'T$MAIN EVENT:OpenWindow 0'
  robot click "$TITLE" "Three"; expect_status 0
  wait_line "$1" 'T$MAIN EVENT:Accepted 3'
  robot close "$TITLE"; expect_status 0
  wait_exit "$PROBE_PID" && { [ "$EXIT_STATUS" = 0 ] || fail "$2: exit $EXIT_STATUS"; }
}

post field.log post=1:3
expect_events field.log 'T$MAIN open Event Test
T$MAIN EVENT:OpenWindow 0
T$MAIN EVENT:Accepted 3
T$MAIN EVENT:Accepted 3
T$MAIN EVENT:CloseWindow 0
T$MAIN loop ended
T$MAIN closed
exit 0'

post missing.log post=1:99
expect_events missing.log 'T$MAIN open Event Test
T$MAIN EVENT:OpenWindow 0
T$MAIN EVENT:Accepted 3
T$MAIN EVENT:CloseWindow 0
T$MAIN loop ended
T$MAIN closed
exit 0'

post unnamed.log post=600:0
expect_events unnamed.log 'T$MAIN open Event Test
T$MAIN EVENT:OpenWindow 0
T$MAIN 0x1658 0
T$MAIN EVENT:Accepted 3
T$MAIN EVENT:CloseWindow 0
T$MAIN loop ended
T$MAIN closed
exit 0'
finish
