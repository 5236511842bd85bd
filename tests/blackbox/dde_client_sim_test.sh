# The runtime's DDE client (ddeclient.exe) against the stand-in Z9EE.exe,
# a real second process: opening, commands accepted, refused and never
# answered, the refusal's number and text by one-shot request, unknown
# items, two partners answering one initiate, the partner ending the
# conversation (EVENT:DDEclosed, then 602 until closed, 601 after), the
# owner window closing, and the time-out property.
source "$(dirname "$0")/sim_lib.sh"
CLIENT="$MXB_BUILD/tests/programs/ddeclient.exe"
cd "$WORK"
mkdir proj
D=$(win "$WORK/proj")
touch proj/a.APP
CMD="[ExecuteProject(\"$D\\a.app\")]"

# client STEP...: runs ddeclient; its output is left where expect_output
# and expect_line look.
client() {
  "$MXB_WINE" "$CLIENT" "$@" >"$WORK/robot.out" 2>/dev/null </dev/null
  ROBOT_STATUS=$?
  tr -d '\r' <"$WORK/robot.out" >"$WORK/robot.txt"
}

# Nobody serves the service: channel 0, nothing posted.
client open "${SERVICE}none" ""
expect_output <<END
open none
error 0
END

# Accepted (sent as the 255-character variable, blanks and all), refused
# with its reasons, an unknown item, the time-out property.
LOG=$WORK/plain.log
start_ready "$LOG" "/service=${SERVICE}p" /delay=0
client open "${SERVICE}p" "" exec255 "$CMD" exec "[Bogus]" requestnum GetErrorNum \
  request GetErrorMsg request NoSuchItem requestnum NoSuchItem \
  exec "[ExecuteProject(\"$D\\missing.app\")]" requestnum GetErrorNum \
  property 500 property abc close
expect_output <<END
open channel
error 0
error 0
error 603
error 0
value 102
error 0
value Malformed command: no "(" after the command name
error 0
value Malformed command: no "(" after the command name
error 0
value 102
error 603
error 0
value 104
property 500 ms 5000
property 500 ms 5000
error 0
END
expect_event "$LOG" execute accepted "$(pad255 "$CMD")"
expect_event "$LOG" request refused "NoSuchItem"
expect_event "$LOG" terminate "by client" ""

# Never answered: 605 alone after the time-out (2 s), and the conversation
# still serves requests.
LOG=$WORK/noanswer.log
start_ready "$LOG" "/service=${SERVICE}n" /noanswer /delay=0
client open "${SERVICE}n" "" property 200 exec "$CMD" requestnum GetErrorNum close
expect_output <<END
open channel
error 0
property 200 ms 2000
error 605
error 0
value 0
error 0
END
expect_event "$LOG" execute unanswered "$CMD"

# Two partners answer one initiate: the first is kept, the other is ended
# at once; both logs show the client's terminate.
start_ready "$WORK/m1.log" "/service=${SERVICE}m" /delay=0
start_ready "$WORK/m2.log" "/service=${SERVICE}m" /multi /delay=0
client open "${SERVICE}m" "" exec "$CMD" close
expect_output <<END
open channel
error 0
error 0
error 0
END
expect_event "$WORK/m1.log" terminate "by client" ""
expect_event "$WORK/m2.log" terminate "by client" ""
ACCEPTED=$( (log_text "$WORK/m1.log"; log_text "$WORK/m2.log") | grep -c $'^execute\t[0-9]*\taccepted\t')
[ "$ACCEPTED" = 1 ] || fail "the command reached $ACCEPTED partners, not 1"

# The partner ends the conversation after one command: EVENT:DDEclosed on
# the owner window, 602 for every command and request until DDEclose, then
# 601 for the closed channel.
LOG=$WORK/terminate.log
start_ready "$LOG" "/service=${SERVICE}t" /terminate=1 /delay=0
client --owner open "${SERVICE}t" "" exec "$CMD" events 1 10000 exec "$CMD" \
  requestnum GetErrorNum exec "$CMD" close exec "$CMD" close
expect_output <<END
open channel
error 0
error 0
event EVENT:DDEclosed channel=same service=${SERVICE}t topic=
events 1
error 602
error 602
value 65535
error 602
error 0
error 601
error 601
END
expect_event "$LOG" terminate posted "after 1 command"
wait_log "$LOG" $'^terminate\t[0-9]+\tanswered\t' 10000 || fail "the client did not answer the terminate"

# The owner window closes with the conversation open: the partner is told,
# and the channel reports 602 until it is closed.
LOG=$WORK/owner.log
start_ready "$LOG" "/service=${SERVICE}o" /delay=0
client --owner open "${SERVICE}o" "" closeowner exec "$CMD" close
expect_output <<END
open channel
error 0
owner closed
error 602
error 0
END
wait_log "$LOG" $'^terminate\t[0-9]+\tby client\t' 10000 || fail "closing the owner did not end the conversation"
finish
