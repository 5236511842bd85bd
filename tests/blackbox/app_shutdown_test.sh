# The program's own start-up table closes the files: after the main procedure
# returns, the shutdown closes every open file, most recently opened first;
# after a HALT the close-down of the table closes them. Each file is closed
# once. Before the file layer was in the table neither happened.
source "$(dirname "$0")/lib.sh"
cd "$WORK"
PROBE="$MXB_BUILD/tests/programs/appprobe.exe"

# run MODE: the probe's output in out.txt, the close lines of its trace in closes.txt
run() {
  rm -f trace.log
  "$MXB_WINE" "$PROBE" "$1" "$(win "$WORK/first.dat")" "$(win "$WORK/second.dat")" \
    "$(win "$WORK/trace.log")" >out.raw 2>/dev/null </dev/null
  STATUS=$?
  tr -d '\r' <out.raw >out.txt
  tr -d '\r' <trace.log 2>/dev/null | sed -nE 's/^(CLOSE\([^ ]*).*/\1/p' |
    sed -E 's/\(.*\\/(/' >closes.txt
}

check() {  # check WHAT EXPECTED ACTUAL-FILE
  if [ "$2" != "$(cat "$3")" ]; then
    echo "FAIL: $1"; echo "--- expected:"; echo "$2"; echo "--- got:"; cat "$3"
    FAILURES=$((FAILURES + 1))
  fi
}

run end
check "end: output" "$(printf 'open files 2\nopen files 0\nfirst closed')" out.txt
check "end: closes" "$(printf 'CLOSE(second.dat\nCLOSE(first.dat')" closes.txt
[ "$STATUS" = 0 ] || { echo "FAIL: end: exit $STATUS"; FAILURES=$((FAILURES + 1)); }

run halt
check "halt: output" "open files 2" out.txt
check "halt: closes" "$(printf 'CLOSE(second.dat\nCLOSE(first.dat')" closes.txt
[ "$STATUS" = 3 ] || { echo "FAIL: halt: exit $STATUS"; FAILURES=$((FAILURES + 1)); }
finish
