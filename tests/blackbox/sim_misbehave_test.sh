# The stand-in misbehaves on request: /noanswer takes a command and never
# acknowledges it (the client's wait times out, requests still work),
# /nooutput acknowledges but never writes the output, and /terminate=N ends
# each conversation after its N-th command (a later command is ignored).
source "$(dirname "$0")/sim_lib.sh"
cd "$WORK"
mkdir proj
D=$(win "$WORK/proj")
touch proj/a.APP
CMD="[ExecuteProject(\"$D\\a.app\")]"

# Never answer: the client sees no acknowledgement within its wait.
LOG=$WORK/noanswer.log
start_ready "$LOG" "/service=${SERVICE}n" /noanswer /delay=0
probe --timeout 2000 connect "${SERVICE}n" "" exec255 "$CMD" request GetErrorNum close
expect_output <<END
answer service=${SERVICE}n topic=
answers 1
timeout
data 0
flags ackreq=0 release=1 response=1
closed
END
expect_event "$LOG" execute unanswered "$(pad255 "$CMD")"
expect_no_log "$LOG" $'^output\t'
[ -e proj/a.EXE ] && fail "an unanswered command made output"

# No output: acknowledged, and the output is suppressed.
LOG=$WORK/nooutput.log
start_ready "$LOG" "/service=${SERVICE}o" /nooutput /delay=0
probe connect "${SERVICE}o" "" exec255 "$CMD" close
expect_line "ack 8000"
wait_log "$LOG" $'^output\t[0-9]+\tsuppressed\t' 10000 || fail "no suppressed output in the log"
expect_event "$LOG" output suppressed "$D\\a.EXE"
expect_event "$LOG" output suppressed "$D\\a.DLL"
[ -e proj/a.EXE ] || [ -e proj/a.DLL ] && fail "/nooutput wrote output"

# Terminate after 2 commands: both acknowledged, then the stand-in ends the
# conversation; a new one can be opened.
LOG=$WORK/terminate2.log
start_ready "$LOG" "/service=${SERVICE}t" /terminate=2 /delay=0
probe connect "${SERVICE}t" "" exec255 "$CMD" exec255 "$CMD" wait-terminate 10000 \
  connect "${SERVICE}t" "" exec255 "$CMD" close
expect_output <<END
answer service=${SERVICE}t topic=
answers 1
ack 8000
ack 8000
terminated by server
answer service=${SERVICE}t topic=
answers 1
ack 8000
closed
END
expect_event "$LOG" terminate posted "after 2 commands"
expect_event "$LOG" terminate answered ""
expect_event "$LOG" terminate "by client" ""

# Terminate after 1: a command sent before the client has seen the
# terminate is ignored, not acknowledged.
LOG=$WORK/terminate1.log
start_ready "$LOG" "/service=${SERVICE}u" /terminate=1 /delay=0
probe --timeout 2000 connect "${SERVICE}u" "" exec "$CMD" exec "$CMD" wait-terminate 10000
expect_output <<END
answer service=${SERVICE}u topic=
answers 1
ack 8000
timeout
terminated by server
END
expect_event "$LOG" execute "ignored (terminating)" "$CMD"
expect_event "$LOG" terminate posted "after 1 command"
wait_log "$LOG" $'^terminate\t[0-9]+\tanswered\t' 10000 || fail "the client's answer to terminate is not logged"
finish
