# The fault report under Wine: one report per fault of each kind a program
# can be made to cause, named after the fault, with its sections in order and
# its line ends; the runtime error box's Yes; nothing for other exceptions or
# for a second fault; the next free name; the library state. The process
# still ends with the system's own exit status for the fault.
source "$(dirname "$0")/lib.sh"
PROBE=$(win "$MXB_BUILD/tests/programs/faultprobe.exe")
RTPROBE=$(win "$MXB_BUILD/tests/programs/rtprobe.exe")

fail() {
  echo "FAIL: $*"
  FAILURES=$((FAILURES + 1))
}

# probe_in NAME [--press ...] -- PROGRAM ARGS...: runs under the robot in a
# fresh folder $WORK/NAME, the program's current directory.
probe_in() {
  DIR="$WORK/$1"
  shift
  mkdir -p "$DIR"
  cd "$DIR" || exit 1
  robot run --timeout 30000 "$@"
  cd "$WORK" || exit 1
}

# expect_reports NAMES...: exactly these QWFAULT files are in $DIR.
expect_reports() {
  local got want
  got=$(cd "$DIR" && ls QWFAULT* 2>/dev/null | tr '\n' ' ')
  want="$*"
  [ -n "$want" ] && want="$want "
  [ "$got" = "$want" ] || fail "$DIR: reports '$got', expected '$want'"
}

# report_has FILE LINE: FILE has this exact line (its CR removed).
report_has() {
  tr -d '\r' <"$1" | grep -qxF -- "$2" || { fail "$1 lacks the line: $2"; cat "$1"; }
}

# check_report FILE NAME: the fault's name, the sections in order, CR LF line
# ends except on the call-stack lines, the executable, the image-help module
# list and a call stack that starts at the fault's address.
check_report() {
  local file=$1 name=$2 first ip headings
  [ -f "$file" ] || { fail "no report $file"; return; }
  first=$(head -1 "$file" | tr -d '\r')
  local pattern="^Exception: $name at ([0-9a-f]{16})\$"
  [[ "$first" =~ $pattern ]] || { fail "$file: first line '$first'"; return; }
  ip=${BASH_REMATCH[1]^^}
  headings=$(grep -aE '^[A-Z][a-z]' "$file" | tr -d '\r' | sed -E 's/^(Exception|Process) *:.*/\1/' | tr '\n' '|')
  [ "$headings" = "Exception|Process|Registers:|Bytes at RIP:|Stack Dump at RSP:|Stack Dump at RBP-32:|Loaded Module List:|Call Stack:|Library State:|" ] ||
    fail "$file: sections $headings"
  awk '/^Call Stack:\r$/ { stack = 1; next } /^Library State:\r$/ { stack = 0 }
       { cr = /\r$/; if (stack == cr) { print "bad line end: " $0; bad = 1 } }
       END { exit bad }' "$file" || fail "$file: line ends"
  grep -aqE '^Process  : Z:\\.*\\(faultprobe|rtprobe)\.exe '$'\r''$' "$file" || fail "$file: process line"
  grep -aqE '^  [0-9a-f]{16}-[0-9a-f]{16} (faultprobe|rtprobe)'$'\r''$' "$file" || fail "$file: image-help module list"
  grep -aqE "^$ip  [0-9A-F]{16}  " "$file" || fail "$file: call stack does not start at $ip"
  [ "$(grep -ac '^  RAX=' "$file")" = 1 ] || fail "$file: register lines"
}

# Each fault a program can cause, and the two the probe can only raise.
while IFS='|' read -r dir status name args; do
  probe_in "$dir" -- "$PROBE" $args
  expect_line "exit $status"
  expect_reports QWFAULT1.TXT
  check_report "$DIR/QWFAULT1.TXT" "$name"
done <<'CASES'
av|3221225477|Access Violation|av
ill|3221225501|Illegal Instruction|ill
priv|3221225622|Privileged Instruction|priv
stack|3221225725|Stack Overflow|stack
inpage|3221225478|Page Fault|raise 0xC0000006
nomemory|3221225495|No Memory|raise 0xC0000017
CASES

# The first frame of an access violation lies in the probe's first section.
grep -aqE '^[0-9A-F]{16}  [0-9A-F]{16}  0001:[0-9A-F]{8} Z:\\.*\\faultprobe\.exe$' "$WORK/av/QWFAULT1.TXT" ||
  fail "av: no call-stack line in the probe's first section"

# An instruction pointer that cannot be read: an empty byte line.
probe_in jump -- "$PROBE" jump
expect_line "exit 3221225477"
check_report "$DIR/QWFAULT1.TXT" "Access Violation"
report_has "$DIR/QWFAULT1.TXT" "Exception: Access Violation at 0000000000000010"
tr -d '\r' <"$DIR/QWFAULT1.TXT" | grep -A2 -x 'Bytes at RIP:' | tr '\n' '|' |
  grep -qxF 'Bytes at RIP:|  0000000000000010:|Stack Dump at RSP:|' || fail "jump: byte dump not empty"

# Exceptions outside the six: no report, the system's status all the same.
probe_in divide -- "$PROBE" divide
expect_line "exit 3221225620"  # 0xC0000094
expect_reports
probe_in other -- "$PROBE" raise 0xE0000001
expect_line "exit 3758096385"
expect_reports

# A second fault writes nothing: the first (an illegal instruction handed to
# the top-level filter, then continued) takes the one report.
probe_in twice -- "$PROBE" twice
expect_line "continued"
expect_line "exit 3221225477"
expect_reports QWFAULT1.TXT
check_report "$DIR/QWFAULT1.TXT" "Illegal Instruction"

# The runtime error box's Yes: an access violation with the error posted.
probe_in yes --press "Runtime error=Yes" -- "$RTPROBE" raise 406
expect_line "pressed Yes"
expect_line "exit 3221225477"
expect_reports QWFAULT1.TXT
check_report "$DIR/QWFAULT1.TXT" "Access Violation"
report_has "$DIR/QWFAULT1.TXT" "  ERRORCODE  = 406"
report_has "$DIR/QWFAULT1.TXT" "  ERROR      = No return value from function                              "

# QWFAULT1 to QWFAULT9 present: the next is QWFAULTA, and the others stay.
mkdir -p "$WORK/next"
for c in 1 2 3 4 5 6 7 8 9; do echo "old $c" >"$WORK/next/QWFAULT$c.TXT"; done
probe_in next -- "$PROBE" av
expect_reports QWFAULT1.TXT QWFAULT2.TXT QWFAULT3.TXT QWFAULT4.TXT QWFAULT5.TXT QWFAULT6.TXT \
  QWFAULT7.TXT QWFAULT8.TXT QWFAULT9.TXT QWFAULTA.TXT
check_report "$DIR/QWFAULTA.TXT" "Access Violation"
[ "$(cat "$DIR/QWFAULT9.TXT")" = "old 9" ] || fail "QWFAULT9.TXT was changed"

# Every name taken: QWFAULT_.TXT is overwritten.
mkdir -p "$WORK/full"
all=$(echo {1..9} {A..Z} _)
for c in $all; do echo "old $c" >"$WORK/full/QWFAULT$c.TXT"; done
probe_in full -- "$PROBE" ill
expect_reports $(for c in $all; do echo "QWFAULT$c.TXT"; done | LC_ALL=C sort)
check_report "$DIR/QWFAULT_.TXT" "Illegal Instruction"

# The library state: "0" with no window library, numbers and names through a
# provider, the error state's code and text.
for f in ERRORCODE\ \ =\ 0 EVENT\ \ \ \ \ \ =\ 0 FIELD\ \ \ \ \ \ =\ 0 LASTFIELD\ \ =\ 0; do
  report_has "$WORK/av/QWFAULT1.TXT" "  $f"
done
probe_in numbers -- "$PROBE" numbers
for line in "EVENT      = 523 (020BH)" "FIELD      = 0" "FOCUS      = 3 (03H)" \
  "ACCEPTED   = 0" "FIRSTFIELD = 1 (01H)" "LASTFIELD  = 255 (0FFH)" "ERRORCODE  = 35"; do
  report_has "$DIR/QWFAULT1.TXT" "  $line"
done
probe_in names -- "$PROBE" names
for line in "EVENT      = EVENT:Accepted (1 (01H))" "FIELD      = ?MakeButton (2 (02H))" \
  "FOCUS      = ?MakeButton (2 (02H))" "ACCEPTED   = ?MakeButton (2 (02H))" \
  "FIRSTFIELD = ?List (1 (01H))" "LASTFIELD  = ?CloseButton (14 (0EH))" "ERRORCODE  = 35" \
  "ERROR      = Record Not Found                                           "; do
  report_has "$DIR/QWFAULT1.TXT" "  $line"
done
finish
