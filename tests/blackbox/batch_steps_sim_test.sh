# The batch operations' steps (batchprobe.exe: the real DDE client and the
# operations' own commands and checks) against the stand-in Z9EE.exe: the
# exact bytes of each operation's command, the output recognised (a long
# base name too), a refused command (603 with the stand-in's number and
# text), no acknowledgement (605), the partner gone (602), an environment
# slow to start, one that never starts (the bounded loop gives up), and the
# inner loop's wait for the main window's timer tick.
source "$(dirname "$0")/sim_lib.sh"
BATCHPROBE="$MXB_BUILD/tests/programs/batchprobe.exe"
cd "$WORK"
mkdir proj
D=$(win "$WORK/proj")
for f in sales.APP sales.TXA sales.TXD sales.DCT Inventory.APP blocked.APP; do touch "proj/$f"; done

# batch SERVICE START STEP...: runs batchprobe; output in robot.txt.
batch() {
  "$MXB_WINE" "$BATCHPROBE" "$@" >"$WORK/robot.out" 2>/dev/null </dev/null
  ROBOT_STATUS=$?
  tr -d '\r' <"$WORK/robot.out" >"$WORK/robot.txt"
}

# Every operation's command, as the stand-in received it: 255 characters.
LOG=$WORK/ops.log
start_ready "$LOG" "/service=${SERVICE}o" /delay=0 "/refuse=blocked"
batch "${SERVICE}o" "none" connect 1 0 send makeexe "$D\\sales" send makedll "$D\\sales" \
  send exportapp "$D\\sales" send importapp "$D\\sales" send importdct "$D\\sales" \
  send exportdct "$D\\sales" send makeexe "$D\\Inventory" output makeexe "$D\\" Inventory 20000 \
  send makeexe "$D\\blocked" close
expect_output <<END
connect channel
check 0
check 0
check 0
check 0
check 0
check 0
check 0
output present
check 603 DDEexecute - invalid command
message Error 103 : Project refused: $D\\blocked
END
S="$D\\sales"
for cmd in "[ExecuteProject(\"$S.app\")]" "[ExportApp(\"$S.App\",$S.TXA,0)]" \
  "[ImportApp(\"$S.TXA\",$S.APP,0,Replace)]" "[ImportDCT(\"$S.TXD\",$S.DCT,0)]" \
  "[ExportDCT(\"$S.DCT\",$S.TXD,0)]" "[ExecuteProject(\"$D\\Inventory.app\")]"; do
  expect_event "$LOG" execute accepted "$(pad255 "$cmd")"
done

# No acknowledgement within the time-out: 605, "DDE timeout".
LOG=$WORK/noanswer.log
start_ready "$LOG" "/service=${SERVICE}n" /noanswer /delay=0
batch "${SERVICE}n" "none" connect 1 0 timeout 200 send makeexe "$D\\sales" close
expect_output <<END
connect channel
check 605 DDE transaction timed out
message DDE timeout
END

# The partner ends the conversation after its first command: 602.
LOG=$WORK/gone.log
start_ready "$LOG" "/service=${SERVICE}g" /terminate=1 /delay=0
batch "${SERVICE}g" "none" connect 1 0 timeout 500 send makeexe "$D\\sales" pause 1000 \
  send makeexe "$D\\sales" close
expect_output <<END
connect channel
check 0
check 602 DDE channel is not open
message Unexpected Error: 602
END

# Slow to start: the loop starts the environment and connects once it answers.
LOG=$WORK/slow.log
START="$(win "$Z9EE") /service=${SERVICE}s /log=$(win "$LOG") /idle=120000 /slowstart=3000 /delay=0"
batch "${SERVICE}s" "$START" connect 30 1000 close
expect_output <<END
connect channel
END
expect_event "$LOG" terminate "by client" ""
"$MXB_WINE" "$Z9EE" "/service=${SERVICE}s" /quit >/dev/null 2>&1 </dev/null

# The completion wait's inner loop on the main window: the window's timer
# (every 10 s) ends it; closing the window ends it without a tick.
# A loaded machine may deliver the timer message a little late.
batch "${SERVICE}w" "none" window tick closewindow
sed -i -E 's/^tick after (9|10|11|12) s$/tick after about 10 s/' "$WORK/robot.txt"
expect_output <<END
window open
tick after about 10 s
no tick
END

# Never starts: the bounded loop gives up.
batch "${SERVICE}x" "Z9EEmissing.exe" connect 3 200
expect_output <<END
connect none
END
finish
