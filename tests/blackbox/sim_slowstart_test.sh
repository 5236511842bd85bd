# /slowstart=MS: the stand-in runs but answers no initiate for MS, so a
# client's connection loop finds nobody at first and then connects.
source "$(dirname "$0")/sim_lib.sh"
cd "$WORK"
LOG=$WORK/z9ee.log
start_sim "$LOG" "/service=$SERVICE" /slowstart=10000
wait_log "$LOG" $'^start\t0\tok\t' 60000 || fail "the stand-in did not start"
probe connect-retry "$SERVICE" "" 60000 close
expect_line "answers 1"
expect_line "closed"
misses=$(sed -n 's/^unanswered \([0-9]*\)$/\1/p' "$WORK/robot.txt")
[ -n "$misses" ] && [ "$misses" -ge 1 ] || fail "the first initiate was answered at once"
# The log: initiates ignored while starting, ready after the slow start,
# and the conversation opened only then.
text=$(log_text "$LOG")
ignored=$(echo "$text" | grep -n $'^initiate\t0\tignored (starting)\tservice="'"$SERVICE"'" topic=""$' | head -1 | cut -d: -f1)
ready=$(echo "$text" | grep -n $'^ready\t0\tok\tafter [0-9]* ms$' | cut -d: -f1)
answered=$(echo "$text" | grep -nE $'^initiate\t[0-9]+\tanswered\t' | cut -d: -f1)
[ -n "$ignored" ] && [ -n "$ready" ] && [ -n "$answered" ] &&
  [ "$ignored" -lt "$ready" ] && [ "$ready" -lt "$answered" ] || fail "wrong order of events: $text"
after=$(echo "$text" | sed -n 's/^ready\t0\tok\tafter \([0-9]*\) ms$/\1/p')
[ -n "$after" ] && [ "$after" -ge 10000 ] || fail "ready after ${after:-no} ms, the slow start is 10000"
finish
