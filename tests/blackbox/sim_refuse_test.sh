# The stand-in refuses what it must not take (malformed and unknown commands,
# refused projects, missing sources) with a negative acknowledgement, and
# then says why through the items GetErrorNum and GetErrorMsg; unknown items
# and advise requests get a negative acknowledgement.
source "$(dirname "$0")/sim_lib.sh"
cd "$WORK"
mkdir proj
D=$(win "$WORK/proj")
touch proj/a.APP proj/blocked.APP proj/Other.APP
LOG=$WORK/z9ee.log
start_ready "$LOG" "/service=$SERVICE" /delay=0 /refuse=BLOCKED "/refuse=$D\\other"

MALFORMED="[ExecuteProject($D\\a.app)]"
# A tab and "%" in a command are logged as %09 and %25.
ODD=$'[Odd\tName("100%")]'

AFTER="[ExecuteProject(\"$D\\a.app\")] x"
probe connect "$SERVICE" "" \
  request GetErrorNum request GetErrorMsg \
  exec255 "$MALFORMED" request GetErrorNum request GetErrorMsg \
  exec "[CompileAll(\"$D\\a.app\")]" request geterrornum request GetErrorMsg \
  exec255 "[ExecuteProject(\"$D\\blocked.app\")]" request GetErrorNum request GetErrorMsg \
  exec255 "[ExecuteProject(\"$D\\Other.app\")]" request GetErrorNum \
  exec255 "[ExportApp(\"$D\\missing.App\",$D\\missing.TXA,0)]" request GetErrorNum request GetErrorMsg \
  exec "$AFTER" request GetErrorNum \
  exec255 "[ExecuteProject(\"$D\\a.app\")]" request GetErrorNum request GetErrorMsg \
  exec "$ODD" request GetErrorNum \
  request NoSuchItem advise GetErrorNum close
F="flags ackreq=0 release=1 response=1"
expect_output <<END
answer service=$SERVICE topic=
answers 1
data 0
$F
data No error
$F
ack 0000
data 102
$F
data Malformed command: the first file name is not quoted
$F
ack 0000
data 101
$F
data Unknown command: CompileAll
$F
ack 0000
data 103
$F
data Project refused: $D\\blocked
$F
ack 0000
data 103
$F
ack 0000
data 104
$F
data Source file not found: $D\\missing.App
$F
ack 0000
data 102
$F
ack 8000
data 0
$F
data No error
$F
ack 0000
data 101
$F
nack
ack 0000
closed
END
expect_event "$LOG" execute "refused 102 Malformed command: the first file name is not quoted" "$(pad255 "$MALFORMED")"
expect_event "$LOG" execute 'refused 102 Malformed command: a command ends with "]" (only blanks may follow)' "$AFTER"
expect_event "$LOG" request answered GetErrorNum=103
expect_event "$LOG" execute 'refused 101 Unknown command: Odd%09Name' '[Odd%09Name("100%25")]'
expect_event "$LOG" request refused NoSuchItem
expect_event "$LOG" advise refused GetErrorNum
# Only the accepted command made output.
# The accepted make writes a.EXE then a.DLL, each logged as it is written:
# wait for the last one before counting.
wait_log "$LOG" $'^output\t[0-9]+\twritten\t.*a\\.DLL$' 10000 || fail "no output for the accepted command"
[ "$(log_text "$LOG" | grep -c $'^output\t')" = 2 ] || fail "outputs: $(log_text "$LOG" | grep $'^output')"
[ -e proj/blocked.EXE ] || [ -e proj/Other.EXE ] || [ -e proj/missing.TXA ] && fail "a refused command made output"
finish
