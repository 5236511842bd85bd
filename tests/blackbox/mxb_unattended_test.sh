# An unattended make over a real project list: mxb.exe /run=makeexe /hide
# against the stand-in Z9EE.exe serving "KorvaneWin". The first run, on a
# folder without data files, creates APPS and TEMPFILE itself and finds no
# tagged project; the list is then filled through the velocore tool with the
# declaration mxb.exe wrote, and the second run makes it: the commands the
# stand-in received (exact bytes), the outputs (an old one removed first),
# the activity log read back with "velocore dump", the report and the exit
# status. A third run, in a folder of its own, makes libraries: its first
# project is refused, so its old output is gone, the refusal is logged and
# reported and the remaining project is not processed. A last run meets an
# environment that never answers: the bounded connection loop, exit 3.
# resource-lock: KorvaneWin
source "$(dirname "$0")/sim_lib.sh"
MXB="$MXB_BUILD/app/mxb.exe"
VELOCORE="$MXB_BUILD/tools/velocore/velocore.exe"
# The stand-ins of this test serve KorvaneWin, and one is started by mxb.exe
# itself: whatever happens, none outlives the test.
trap '"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null; sim_cleanup' EXIT
cd "$WORK"
mkdir run proj
D=$(win "$WORK/proj")

# mxb_start DIR ARGS...: runs mxb.exe in DIR in the background; its id in
# MXB_PID.
mxb_start() {
  local dir=$1
  shift
  (cd "$dir" && exec "$MXB_WINE" "$MXB" "$@" >/dev/null 2>&1 </dev/null) &
  MXB_PID=$!
  SIM_PIDS+=("$MXB_PID")
}
# velocore DIR ARGS...: the tool in DIR; its standard output without
# carriage returns in OUT, its messages in velocore.err.
velocore() {
  local dir=$1
  shift
  OUT=$(cd "$dir" && "$MXB_WINE" "$VELOCORE" "$@" 2>"$WORK/velocore.err" </dev/null |
    tr -d '\r')
}
# report_field LINE KEY: one field of the LINE-th object (1-based) of the
# report $REPORT; KEY may name a field inside a field ("summary.projects").
REPORT=$WORK/run/run.json
report_field() {
  python3 - "$REPORT" "$1" "$2" <<'PY'
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8") if l.strip()]
row = rows[int(sys.argv[2]) - 1]
for key in sys.argv[3].split("."):
    row = row[key]
print(row)
PY
}
# log_events DIR: DIR's activity log, oldest first, as "project|event"
# lines in $WORK/events.txt.
log_events() {
  velocore "$1" dump TEMPFILE.VEL --csv
  printf '%s\n' "$OUT" | python3 -c '
import csv, sys
for r in csv.DictReader(sys.stdin): print(r["TMP:APPS"] + "|" + r["TMP:EVENT"])
' >"$WORK/events.txt"
}
expect_eq() {  # expect_eq WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
}

LOG=$WORK/sim.log
start_ready "$LOG" /delay=300 /refuse=omega

# 1. No data files yet: both are created, nothing is tagged, exit 0.
mxb_start run /run=makeexe /hide /report=run.json
wait_exit "$MXB_PID" 120000 || fail "the first run did not end"
expect_eq "first run's exit status" 0 "${EXIT_STATUS:-}"
[ -f run/APPS.VEL ] || fail "APPS.VEL was not created"
[ -f run/TEMPFILE.VEL ] || fail "TEMPFILE.VEL was not created"
expect_eq "first run's projects" 0 "$(report_field 1 summary.projects 2>&1)"
expect_no_log "$LOG" $'^execute\t'

# 2. The list: alpha and Beta made (Beta's old output removed first),
# gamma tagged 2 and skipped, delta without its source.
for f in alpha.APP Beta.APP gamma.APP; do echo source >"proj/$f"; done
echo old >proj/Beta.EXE
velocore run schema APPS.VEL
echo "$OUT" >run/apps.schema.json
grep -q '"APP:PRIORITYKEY"' run/apps.schema.json || fail "schema of APPS: $OUT"
cat >run/apps.csv <<END
APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY
$D\\,alpha.app,1,1
$D\\,Beta.app,1,2
$D\\,gamma.app,2,3
$D\\,delta.app,1,4
END
velocore run load APPS.VEL UNNAMED --schema apps.schema.json --csv apps.csv
echo "$OUT" | grep -q "^4 records added" || fail "loading the list: $OUT $(cat "$WORK/velocore.err")"

mxb_start run /run=makeexe /hide /report=run.json /timeout=2
wait_exit "$MXB_PID" 120000 || fail "the make did not end"
expect_eq "make's exit status (delta skipped)" 1 "${EXIT_STATUS:-}"

for stem in alpha Beta; do
  expect_event "$LOG" execute accepted "$(pad255 "[ExecuteProject(\"$D\\$stem.app\")]")"
  [ -f "proj/$stem.EXE" ] || fail "proj/$stem.EXE was not made"
done
[ "$(tr -d '\r\n' <proj/Beta.EXE)" != old ] || fail "Beta's old output was not replaced"
expect_no_log "$LOG" 'gamma|delta'
expect_eq "commands sent" 2 "$(log_text "$LOG" | grep -c $'^execute\t')"

# The activity log, oldest first: project and event of each record.
log_events run
diff -u - "$WORK/events.txt" <<'END' || fail "activity log differs (- expected, + actual)"
alpha.app|Begin Make
alpha.app|Make Finished
Beta.app|Begin Make
Beta.app|Make Finished
delta.app|.APP not found
END

expect_eq "report: projects" 3 "$(report_field 4 summary.projects)"
expect_eq "report: finished" 2 "$(report_field 4 summary.finished)"
expect_eq "report: exit status" 1 "$(report_field 4 summary.exit_status)"
expect_eq "report: operation" "make executable" "$(report_field 1 operation)"
for row in "1|alpha.app|finished" "2|Beta.app|finished" "3|delta.app|source missing"; do
  IFS='|' read -r n project outcome <<<"$row"
  expect_eq "report row $n project" "$project" "$(report_field "$n" project)"
  expect_eq "report row $n outcome" "$outcome" "$(report_field "$n" outcome)"
done

# 3. makedll: omega refused by the stand-in (603 with its number and text).
mkdir run2
cp run/apps.schema.json run2/
echo source >proj/omega.APP
echo old >proj/omega.DLL
cat >run2/apps.csv <<END
APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY
$D\\,alpha.app,1,2
$D\\,omega.app,1,1
END
rm -f proj/alpha.DLL  # the stand-in wrote it with alpha.EXE
velocore run2 load APPS.VEL UNNAMED --schema apps.schema.json --csv apps.csv
echo "$OUT" | grep -q "^2 records added" || fail "loading the second list: $OUT"
mxb_start run2 -RUN:makedll /hide /report=run.json
wait_exit "$MXB_PID" 120000 || fail "the library make did not end"
expect_eq "library make's exit status" 1 "${EXIT_STATUS:-}"
expect_event "$LOG" execute "refused 103 Project refused: $D\\omega" \
  "$(pad255 "[ExecuteProject(\"$D\\omega.app\")]")"
expect_eq "commands sent in all" 3 "$(log_text "$LOG" | grep -c $'^execute\t')"
[ ! -e proj/omega.DLL ] || fail "omega's old output was not removed"
[ ! -e proj/alpha.DLL ] || fail "alpha was made after the refusal"
log_events run2
diff -u - "$WORK/events.txt" <<END || fail "second activity log differs (- expected, + actual)"
omega.app|Begin Make
omega.app|Error 103 : Project refused: $D\\omega
omega.app|Error 603 DDEexecute - invalid command
END
REPORT=$WORK/run2/run.json
for row in "1|omega.app|failed|603" "2|alpha.app|not processed|0"; do
  IFS='|' read -r n project outcome code <<<"$row"
  expect_eq "library report row $n project" "$project" "$(report_field "$n" project)"
  expect_eq "library report row $n outcome" "$outcome" "$(report_field "$n" outcome)"
  expect_eq "library report row $n code" "$code" "$(report_field "$n" error_code)"
done

# Our stand-in ends, so that nothing answers the last run.
"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null
wait_exit "$SIM_PID" 30000 || fail "the stand-in did not quit"

# 4. An environment that never answers: the connection loop starts "Z9EE"
# (found beside mxb.exe, with run2/Z9EE.INI making it ignore initiates),
# gives up after about 30 s; exit status 3, the failure in the fresh
# activity log and in the report.
printf '[Z9EE]\r\nSlowStart=200000\r\nIdle=240000\r\n' >run2/Z9EE.INI
mxb_start run2 /run=exportdct /hide /report=run.json
wait_exit "$MXB_PID" 120000 || fail "the run without an environment did not end"
expect_eq "exit status without an environment" 3 "${EXIT_STATUS:-}"
log_events run2
diff -u - "$WORK/events.txt" <<END || fail "activity log without an environment differs"
|Korvane could not be reached
END
expect_eq "report without an environment: exit status" 3 "$(report_field 1 summary.exit_status)"
report_field 1 summary.message | grep -qF "Korvane could not be reached" ||
  fail "the report's summary does not name the failure: $(cat run2/run.json)"
wait_log run2/Z9EE.LOG $'^start\t0\tok\t.*slowstart=200000' 1000 ||
  fail "the stand-in was not started by the connection loop"
"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null
wait_log run2/Z9EE.LOG $'^quit\t' 30000 || fail "the stand-in started by mxb.exe did not quit"
finish
