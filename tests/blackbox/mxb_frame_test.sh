# The main window of mxb.exe driven by the robot, with and without the
# stand-in Z9EE.exe serving "KorvaneWin":
#   1. no environment: the "Warning" box with its exact text, flag 0 and
#      "Not Connected to Korvane"; Disconnect gives "Korvane disconnected"
#      and no box; Connect starts the stand-in (found beside mxb.exe) and
#      shows "Connected to Korvane."; "Gen & Make (.EXE)" makes the tagged
#      project: the command the stand-in received and the log's rows;
#   2. the environment running: no warning, "Connected to Korvane", flag 1;
#      Import asks its confirmation and No leaves the log as it was;
#   3. a stand-in that never acknowledges: the spin set to 1 minute before
#      the press makes the command time out after about a minute ("DDE
#      timeout", the log's 605 row), not after the 15 minutes it showed;
#   4. a stand-in that writes no output: closing the main window during the
#      completion wait ends the program with 0, the log closed (readable,
#      its begin row in it) and the conversation ended;
#   5. an environment that starts but never answers: Connect gives up after
#      its bounded loop with "Korvane could not be reached" and shows
#      "Not Connected to Korvane".
# resource-lock: KorvaneWin
source "$(dirname "$0")/sim_lib.sh"
MXB="$MXB_BUILD/app/mxb.exe"
VELOCORE="$MXB_BUILD/tools/velocore/velocore.exe"
TITLE="Tessaly (Batch Compile Manager)"
trap '"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null; sim_cleanup' EXIT
cd "$WORK"
mkdir run proj
D=$(win "$WORK/proj")

# start_mxb: mxb.exe in run/ under `robot run`, its output in run.txt; the
# Windows process id in WINPID (the robot's commands look only at its
# windows), the robot's own id in MXB_PID.
start_mxb() {
  rm -f "$WORK/run.txt"
  (cd run && exec "$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" run --timeout 240000 -- \
    "$(win "$MXB")" >"$WORK/run.txt" 2>/dev/null </dev/null) &
  MXB_PID=$!
  SIM_PIDS+=("$MXB_PID")
  wait_log "$WORK/run.txt" '^pid [0-9]+$' 30000 || fail "mxb.exe did not start"
  WINPID=$(log_text "$WORK/run.txt" | sed -n 's/^pid //p')
  wait_log "$WORK/run.txt" "^window KorWin[0-9]+Class[0-9]+ Tessaly" 30000 || fail "no main window"
}
# The window's controls carry the identifier 0x4000 + their field number.
ctl() { echo $((0x4000 + $1)); }
# on_mxb ARGS...: a robot command confined to mxb.exe's windows.
on_mxb() { robot --pid "$WINPID" "$@"; }
# field_text ID: the text of the main window's control ID, blanks trimmed.
field_text() {
  on_mxb text "$TITLE" "$(ctl "$1")"
  sed -n 's/^text //p' "$WORK/robot.txt" | sed 's/^ *//; s/ *$//'
}
# wait_field ID TEXT [MS]: control ID shows TEXT.
wait_field() {
  local deadline=$((SECONDS + ${3:-30000} / 1000))
  until [ "$(field_text "$1")" = "$2" ]; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      fail "field $1 shows [$(field_text "$1")], expected [$2]"
      return 1
    fi
    sleep 0.1
  done
}
# close_mxb: closes the main window and expects exit 0.
close_mxb() {
  on_mxb close "$TITLE"
  wait_exit "$MXB_PID" 60000 || fail "mxb.exe did not end"
  grep -qx "exit 0" <(log_text "$WORK/run.txt") || fail "exit status: $(log_text "$WORK/run.txt")"
}
# other_boxes CAPTION: the captions of the message boxes mxb.exe opened so
# far other than CAPTION, one a line (a box the test answered at once may
# close before the robot's run sees it, so the expected one is not required).
other_boxes() { log_text "$WORK/run.txt" | sed -n 's/^window #32770 //p' | grep -vxF -- "$1"; }
# log_events: the activity log, oldest first, as "project|event" lines.
log_events() {
  (cd run && "$MXB_WINE" "$VELOCORE" dump TEMPFILE.VEL --csv 2>/dev/null </dev/null) | tr -d '\r' |
    python3 -c '
import csv, sys
for r in csv.DictReader(sys.stdin): print(r["TMP:APPS"] + "|" + r["TMP:EVENT"])
'
}
expect_eq() {  # expect_eq WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
}

# The data files and a one-project list: an unattended run over no list
# creates them (it connects first, so a stand-in of our own answers it),
# then the velocore tool loads the list with the declaration mxb.exe wrote.
echo source >proj/alpha.APP
LOG0=$WORK/sim0.log
start_ready "$LOG0"
(cd run && "$MXB_WINE" "$MXB" /run=makeexe /hide >/dev/null 2>&1 </dev/null)
"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null
wait_exit "$SIM_PID" 30000 || fail "the first stand-in did not quit"
OUT=$(cd run && "$MXB_WINE" "$VELOCORE" schema APPS.VEL 2>/dev/null </dev/null | tr -d '\r')
echo "$OUT" >run/apps.schema.json
printf 'APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY\n%s\\,alpha.app,1,1\n' "$D" >run/apps.csv
OUT=$(cd run && "$MXB_WINE" "$VELOCORE" load APPS.VEL UNNAMED --schema apps.schema.json \
  --csv apps.csv 2>&1 </dev/null | tr -d '\r')
echo "$OUT" | grep -q "^1 records added" || fail "loading the list: $OUT"
# The stand-in mxb.exe starts itself reads run/Z9EE.INI: its log and a limit.
printf '[Z9EE]\r\nDelay=300\r\nIdle=200000\r\nLog=%s\r\n' "$(win "$WORK/sim1.log")" >run/Z9EE.INI

# 1. No environment.
start_mxb
on_mxb msgbox Warning OK 30000 || fail "no warning box"
expect_line "caption Warning"
expect_line "text Korvane is not currently running. For better control over your working environment, press \"Connect\" now."
expect_eq "last action without an environment" "Not Connected to Korvane" "$(field_text 22)"
expect_eq "connection flag without an environment" 0 "$(field_text 11)"
on_mxb clickid "$TITLE" "$(ctl 13)"
wait_field 22 "Korvane disconnected"
on_mxb clickid "$TITLE" "$(ctl 12)"
wait_field 22 "Connected to Korvane." 60000
expect_eq "connection flag after Connect" 1 "$(field_text 11)"
wait_log "$WORK/sim1.log" $'^start\t' 1000 || fail "Connect did not start the stand-in"
on_mxb clickid "$TITLE" "$(ctl 3)"
wait_field 22 "Processing Complete" 60000
expect_event "$WORK/sim1.log" execute accepted "$(pad255 "[ExecuteProject(\"$D\\alpha.app\")]")"
expect_eq "activity log after the make" "alpha.app|Begin Make
alpha.app|Make Finished" "$(log_events)"
expect_eq "other boxes of the first run" "" "$(other_boxes Warning)"
close_mxb

# 2. The environment running (the stand-in Connect started).
start_mxb
wait_field 22 "Connected to Korvane"
expect_eq "connection flag with the environment" 1 "$(field_text 11)"
on_mxb clickid "$TITLE" "$(ctl 6)"
on_mxb msgbox Confirm No 30000 || fail "no confirmation box"
expect_line "text Are you sure you want to import .TXA into .APP?"
expect_eq "activity log after No" "alpha.app|Begin Make
alpha.app|Make Finished" "$(log_events)"
expect_eq "other boxes of the second run" "" "$(other_boxes Confirm)"
close_mxb
"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null
wait_log "$WORK/sim1.log" $'^quit\t' 30000 || fail "the stand-in mxb.exe started did not quit"

# 3. Never acknowledged: the spin's 1 minute is the command's time-out.
LOG3=$WORK/sim3.log
start_ready "$LOG3" /noanswer
start_mxb
wait_field 22 "Connected to Korvane"
on_mxb key "$TITLE" "$(ctl 20)" 0x28 14  # Down 14 times: 15 -> 1
wait_field 20 1
pressed=$SECONDS
on_mxb clickid "$TITLE" "$(ctl 3)"
on_mxb msgbox "" OK 120000 || fail "no time-out box"
elapsed=$((SECONDS - pressed))
expect_line "text DDE timeout"
[ "$elapsed" -ge 50 ] && [ "$elapsed" -le 100 ] || fail "timed out after $elapsed s, not 1 minute"
wait_field 22 "Processing Complete"
expect_eq "activity log after the time-out" "alpha.app|Begin Make
alpha.app|Error 605 DDE transaction timed out" "$(log_events)"
close_mxb
"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null
wait_exit "$SIM_PID" 30000 || fail "the never-answering stand-in did not quit"

# 4. Closing during the completion wait.
LOG4=$WORK/sim4.log
start_ready "$LOG4" /nooutput
start_mxb
wait_field 22 "Connected to Korvane"
on_mxb clickid "$TITLE" "$(ctl 3)"
wait_field 22 "alpha.app DDE Ack."
close_mxb
expect_eq "activity log after closing" "alpha.app|Begin Make" "$(log_events)"
# Both of mxb.exe's conversations (the frame's and the make's) were ended by
# it. The stand-in answers every program's initiate for its service, and
# mxb.exe started by other tests beside this one initiates "KorvaneWin" too,
# so only the conversations whose client is this mxb.exe are counted.
ours=$(log_text "$LOG4" | awk -F'\t' -v p="process $WINPID" '$1 == "client" && $3 == p { print $2 }')
for n in $ours; do
  wait_log "$LOG4" "^terminate"$'\t'"$n"$'\t'"by client" 10000 ||
    fail "conversation $n was not ended: $(log_text "$LOG4")"
done
expect_eq "conversations of mxb.exe" 2 "$(echo "$ours" | grep -c .)"
"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null
wait_exit "$SIM_PID" 30000 || fail "the stand-in without output did not quit"

# 5. Connect against a stand-in that ignores every initiate (run/Z9EE.INI).
printf '[Z9EE]\r\nSlowStart=200000\r\nIdle=240000\r\nLog=%s\r\n' "$(win "$WORK/sim5.log")" \
  >run/Z9EE.INI
start_mxb
on_mxb msgbox Warning OK 30000 || fail "no warning box before the failing Connect"
pressed=$SECONDS
on_mxb clickid "$TITLE" "$(ctl 12)"
on_mxb msgbox "" OK 90000 || fail "no box when Connect gave up"
expect_line "text Korvane could not be reached"
elapsed=$((SECONDS - pressed))
[ "$elapsed" -ge 20 ] && [ "$elapsed" -le 75 ] || fail "Connect gave up after $elapsed s"
wait_field 22 "Not Connected to Korvane"
expect_eq "connection flag after the failed Connect" 0 "$(field_text 11)"
wait_log "$WORK/sim5.log" $'^start\t0\tok\t.*slowstart=200000' 1000 ||
  fail "Connect did not start the environment"
close_mxb
"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null
wait_log "$WORK/sim5.log" $'^quit\t' 30000 || fail "the silent stand-in did not quit"
finish
