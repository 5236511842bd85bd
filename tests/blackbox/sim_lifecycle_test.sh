# Start and end of the stand-in: "/?" prints the usage, a bad switch or
# settings file is reported and ends it with status 1, a second instance for
# the same service quits at once (with /multi both run and answer), an idle
# one quits by itself, and closing the main window ends the open
# conversations with WM_DDE_TERMINATE before the process ends.
source "$(dirname "$0")/sim_lib.sh"
cd "$WORK"

# run_sim OUT SWITCH...: runs the stand-in to its end; status in EXIT_STATUS.
run_sim() {
  local out=$1
  shift
  "$MXB_WINE" "$Z9EE" "$@" >"$out" 2>/dev/null </dev/null
  EXIT_STATUS=$?
  tr -d '\r' <"$out" >"$out.txt"
}

run_sim usage.out '/?'
[ "$EXIT_STATUS" = 0 ] || fail "/? ended with $EXIT_STATUS"
for s in /service=NAME /delay=MS /refuse=NAME /noanswer /terminate=N /slowstart=MS /nooutput \
  /idle=MS /make=WHICH /log=PATH /multi /ini=PATH; do
  grep -qF -- "  $s " usage.out.txt || fail "the usage does not name $s"
done
[ -e Z9EE.LOG ] && fail "/? wrote a log"

run_sim bad.out /bogus=1 "/log=$(win "$WORK/bad.log")"
[ "$EXIT_STATUS" = 1 ] || fail "a bad switch ended with $EXIT_STATUS"
grep -qxF 'Z9EE: unknown setting "bogus"' bad.out.txt || fail "stdout: $(cat bad.out.txt)"
expect_log bad.log "$(printf 'start\t0\terror\tunknown setting "bogus"')"

printf '[Z9EE]\r\nDelay=soon\r\n' >bad.ini
run_sim badini.out "/ini=$(win "$WORK/bad.ini")" "/log=$(win "$WORK/badini.log")"
[ "$EXIT_STATUS" = 1 ] || fail "a bad settings file ended with $EXIT_STATUS"
expect_log badini.log "$(printf 'start\t0\terror\tsettings file %s, line 2: bad value "soon" for Delay (a number expected)' "$(win "$WORK/bad.ini")")"
run_sim noini.out "/ini=$(win "$WORK/none.ini")" "/log=$(win "$WORK/noini.log")"
[ "$EXIT_STATUS" = 1 ] || fail "a missing settings file ended with $EXIT_STATUS"
expect_log noini.log "$(printf 'start\t0\terror\tsettings file not found: %s' "$(win "$WORK/none.ini")")"

# One instance per service: the second quits at once, whatever the case.
TITLE="Korvane (stand-in) [$SERVICE]"
start_ready "$WORK/main.log" "/service=$SERVICE"
MAIN_PID=$SIM_PID
robot wait "$TITLE" 20000
[ "$ROBOT_STATUS" = 0 ] || fail "no main window \"$TITLE\""
start_sim "$WORK/dup.log" "/service=${SERVICE,,}"
wait_exit "$SIM_PID" 60000 || fail "the second instance did not quit"
[ "${EXIT_STATUS:-}" = 0 ] || fail "the second instance ended with ${EXIT_STATUS:-}"
expect_log "$WORK/dup.log" "$(printf 'start\t0\tduplicate\tanother instance serves %s' "${SERVICE,,}")"

# /multi runs beside it: both answer; the client keeps the first and ends
# the other. An idle time ends the second instance by itself.
start_ready "$WORK/multi.log" "/service=$SERVICE" /multi /idle=3000
probe connect "$SERVICE" "" close
expect_line "answers 2"
expect_line "closed"
wait_exit "$SIM_PID" 60000 || fail "the idle instance did not quit"
[ "${EXIT_STATUS:-}" = 0 ] || fail "the idle instance ended with ${EXIT_STATUS:-}"
expect_event "$WORK/multi.log" terminate "by client" ""
expect_log "$WORK/multi.log" "$(printf 'quit\t0\tidle\t')"
expect_event "$WORK/main.log" terminate "by client" ""

# Closing the main window ends the open conversation, then the process.
probe --timeout 10000 connect "$SERVICE" "" closeserver wait-terminate 20000
expect_output <<END
answer service=$SERVICE topic=
answers 1
close posted
terminated by server
END
wait_exit "$MAIN_PID" 60000 || fail "the stand-in did not end after its window was closed"
[ "${EXIT_STATUS:-}" = 0 ] || fail "the closed stand-in ended with ${EXIT_STATUS:-}"
expect_event "$WORK/main.log" terminate posted closing
expect_event "$WORK/main.log" terminate answered ""
expect_log "$WORK/main.log" "$(printf 'quit\t0\tclosed\t')"
robot gone "$TITLE" 10000
[ "$ROBOT_STATUS" = 0 ] || fail "the main window is still there"

# "Z9EE /quit" closes the instance for its service from another process.
start_ready "$WORK/quit.log" "/service=${SERVICE}q"
QUIT_PID=$SIM_PID
run_sim quit.out /quit "/service=${SERVICE}Q"
[ "$EXIT_STATUS" = 0 ] || fail "/quit ended with $EXIT_STATUS"
grep -qxF 'Z9EE: closed 1' quit.out.txt || fail "/quit said: $(cat quit.out.txt)"
wait_exit "$QUIT_PID" 30000 || fail "the instance did not end after /quit"
expect_log "$WORK/quit.log" "$(printf 'quit\t0\tclosed\t')"
run_sim quit2.out /quit "/service=${SERVICE}q"
grep -qxF 'Z9EE: closed 0' quit2.out.txt || fail "/quit with nobody there said: $(cat quit2.out.txt)"
[ -e Z9EE.LOG ] && fail "/quit wrote a log"
finish
