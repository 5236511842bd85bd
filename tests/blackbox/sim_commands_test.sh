# The stand-in acknowledges each of the five commands, sent as the whole
# 255-character command variable, logs it byte for byte and writes its output
# file after the delay; the settings file beside it can change what the make
# command writes.
source "$(dirname "$0")/sim_lib.sh"
cd "$WORK"
mkdir proj
D=$(win "$WORK/proj")
touch proj/m.APP proj/e.APP proj/i.TXA proj/d.TXD proj/x.DCT
LOG=$WORK/z9ee.log
start_ready "$LOG" "/service=$SERVICE" /delay=200

# command | output files (Unix names in proj/)
CASES=(
  "[ExecuteProject(\"$D\\m.app\")]|m.EXE m.DLL"
  "[ExportApp(\"$D\\e.App\",$D\\e.TXA,0)]|e.TXA"
  "[ImportApp(\"$D\\i.TXA\",$D\\i.APP,0,Replace)]|i.APP"
  "[ImportDCT(\"$D\\d.TXD\",$D\\d.DCT,0)]|d.DCT"
  "[ExportDCT(\"$D\\x.DCT\",$D\\x.TXD,0)]|x.TXD"
)
steps=(connect "$SERVICE" "")
expected=$'answer service='"$SERVICE"$' topic=\nanswers 1\n'
for c in "${CASES[@]}"; do
  cmd=${c%%|*}
  first=${c##*|}
  first=${first%% *}
  steps+=(exec255 "$cmd" waitfile "$D\\$first" 20000)
  expected+=$'ack 8000\n'
done
steps+=(close)
probe "${steps[@]}"
[ "$(grep -c '^ack 8000$' "$WORK/robot.txt")" = 5 ] || fail "not every command was acknowledged"
[ "$(grep -c '^file after [0-9]* ms$' "$WORK/robot.txt")" = 5 ] || fail "not every output appeared"
expect_line "closed"

n=0
for c in "${CASES[@]}"; do
  cmd=${c%%|*}
  n=$((n + 1))
  expect_event "$LOG" execute accepted "$(pad255 "$cmd")"
  for out in ${c##*|}; do
    wait_log "$LOG" "^output	[0-9]+	written	.*\\\\$out\$" 10000 || fail "no output line for $out"
    expect_event "$LOG" output written "$D\\$out"
    [ "$(tr -d '\r' <"proj/$out")" = "$(printf 'Made by the Korvane stand-in\nCommand: %s\nCounter: %s' "$cmd" "$n")" ] ||
      fail "content of $out: $(cat "proj/$out")"
  done
done
ls proj/*.TMP proj/*.tmp >/dev/null 2>&1 && fail "a temporary file was left: $(ls proj)"

# The delay: the output is not there at the acknowledgement, and appears
# no sooner than the delay after it.
LOG2=$WORK/delay.log
start_ready "$LOG2" "/service=${SERVICE}d" /delay=6000
touch proj/late.APP
probe connect "${SERVICE}d" "" exec255 "[ExecuteProject(\"$D\\late.app\")]" absent "$D\\late.EXE" \
  waitfile "$D\\late.EXE" 30000 close
expect_line "ack 8000"
expect_line "absent"
ms=$(sed -n 's/^file after \([0-9]*\) ms$/\1/p' "$WORK/robot.txt")
# (measured from the client's receipt of the acknowledgement, which a busy
# machine may delay: half the delay is the bound)
[ -n "$ms" ] && [ "$ms" -ge 3000 ] || fail "the output came after ${ms:-no} ms, the delay is 6000"

# Z9EE.INI in the working directory: the make writes only the executable.
mkdir inidir
printf '; written by the test\r\n[Z9EE]\r\nMake=EXE\r\nDelay=0\r\n' >inidir/Z9EE.INI
LOG3=$WORK/ini.log
(cd inidir && start_sim "$LOG3" "/service=${SERVICE}i" && echo "$SIM_PID" >"$WORK/ini.pid")
SIM_PIDS+=("$(cat "$WORK/ini.pid")")
wait_log "$LOG3" $'^ready\t0\tok\t' 60000 || fail "the stand-in with Z9EE.INI did not get ready"
expect_log "$LOG3" "$(printf 'start\t0\tok\tservice=%si delay=0 refuse= noanswer=0 terminate=0 slowstart=0 nooutput=0 idle=120000 make=EXE multi=0' "$SERVICE")"
touch proj/only.APP
probe connect "${SERVICE}i" "" exec255 "[ExecuteProject(\"$D\\only.app\")]" waitfile "$D\\only.EXE" 20000 close
expect_line "ack 8000"
wait_log "$LOG3" $'^terminate\t[0-9]+\tby client' 10000 || fail "no end of the conversation in the log"
[ -e proj/only.DLL ] && fail "the make wrote a library although Make=EXE"
expect_no_log "$LOG3" 'only\.DLL'
finish
