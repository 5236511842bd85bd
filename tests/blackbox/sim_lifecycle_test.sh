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

# An idle time ends the stand-in by itself.
start_ready "$WORK/idle.log" "/service=${SERVICE}i" /idle=2000
wait_exit "$SIM_PID" 60000 || fail "the idle instance did not quit"
[ "${EXIT_STATUS:-}" = 0 ] || fail "the idle instance ended with ${EXIT_STATUS:-}"
expect_log "$WORK/idle.log" "$(printf 'quit\t0\tidle\t')"

# /multi runs beside another instance: both answer, and the client keeps
# the first and ends the other. "Z9EE /quit" (in any letter case of the
# service) then closes both from another process.
start_ready "$WORK/m1.log" "/service=${SERVICE}m"
M1=$SIM_PID
start_ready "$WORK/m2.log" "/service=${SERVICE}m" /multi
M2=$SIM_PID
probe connect "${SERVICE}m" "" close
expect_line "answers 2"
expect_line "closed"
expect_event "$WORK/m1.log" terminate "by client" ""
expect_event "$WORK/m2.log" terminate "by client" ""
run_sim quit.out /quit "/service=${SERVICE}M"
[ "$EXIT_STATUS" = 0 ] || fail "/quit ended with $EXIT_STATUS"
grep -qxF 'Z9EE: closed 2' quit.out.txt || fail "/quit said: $(cat quit.out.txt)"
wait_exit "$M1" 30000 || fail "the first instance did not end after /quit"
wait_exit "$M2" 30000 || fail "the second instance did not end after /quit"
expect_log "$WORK/m1.log" "$(printf 'quit\t0\tclosed\t')"
expect_log "$WORK/m2.log" "$(printf 'quit\t0\tclosed\t')"
run_sim quit2.out /quit "/service=${SERVICE}m"
grep -qxF 'Z9EE: closed 0' quit2.out.txt || fail "/quit with nobody there said: $(cat quit2.out.txt)"
[ -e Z9EE.LOG ] && fail "/quit wrote a log"
finish
