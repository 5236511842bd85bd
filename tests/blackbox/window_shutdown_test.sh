# The runtime's shutdown closes every window still open (the child above its
# parent first) and stops the process timer: a program that returns with
# windows open and the timer running leaves none open and gets no tick after.
source "$(dirname "$0")/win_lib.sh"
cd "$WORK"
start_probe "$WORK/shutdown.log" shutdown
wait_exit "$PROBE_PID" 30000 && { [ "$EXIT_STATUS" = 0 ] || fail "exit $EXIT_STATUS"; }
expect_log shutdown.log 'T$MAIN open Event Test
T$CHILD open Child Window
shutdown: open 0 timer 0
exit 0'
finish
