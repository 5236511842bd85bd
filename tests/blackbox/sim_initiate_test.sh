# With no switches the stand-in serves "KorvaneWin": it answers an initiate
# for that service (any letter case, any topic) and for an empty service, and
# none for another service; its window is titled "Korvane (stand-in)".
# resource-lock: KorvaneWin
source "$(dirname "$0")/sim_lib.sh"
cd "$WORK"
LOG=$WORK/z9ee.log
start_ready "$LOG"
expect_log "$LOG" "$(printf 'start\t0\tok\tservice=KorvaneWin delay=1000 refuse= noanswer=0 terminate=0 slowstart=0 nooutput=0 idle=120000 make=BOTH multi=0')"
robot wait "Korvane (stand-in)" 20000
[ "$ROBOT_STATUS" = 0 ] || fail "no window \"Korvane (stand-in)\""

probe connect KorvaneWin "" request GetErrorNum close
expect_output <<END
answer service=KorvaneWin topic=
answers 1
data 0
flags ackreq=0 release=1 response=1
closed
END
probe connect KORVANEWIN "Any Topic" close
expect_output <<END
answer service=KORVANEWIN topic=Any Topic
answers 1
closed
END
# An empty service reaches every server of the session; ours is among them.
probe connect "" "" close
expect_line "answer service=KorvaneWin topic="
probe connect NotKorvaneWin ""
expect_output <<END
answers 0
END
expect_event "$LOG" initiate answered 'service="KorvaneWin" topic=""'
expect_event "$LOG" initiate answered 'service="KORVANEWIN" topic="Any Topic"'
expect_event "$LOG" initiate answered 'service="" topic=""'
expect_no_log "$LOG" 'NotKorvaneWin'
finish
