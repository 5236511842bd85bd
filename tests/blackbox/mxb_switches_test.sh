# mxb.exe's command-line switches: "/?" prints the help text and ends with 0
# (started without standard output, as from the desktop, it shows the text
# in a box instead);
# a bad switch, a bad value or /run=importapp without /yes prints the
# reason and the help text and ends with 1 before anything is touched (no
# window, no activity log, no report).
source "$(dirname "$0")/lib.sh"
cd "$WORK"
MXB="$MXB_BUILD/app/mxb.exe"

# mxb ARGS...: output without carriage returns in out.txt, status in STATUS.
mxb() {
  "$MXB_WINE" "$MXB" "$@" 2>/dev/null </dev/null | tr -d '\r' >"$WORK/out.txt"
  STATUS=${PIPESTATUS[0]}
}
check() {  # check WHAT CONDITION...
  local what=$1
  shift
  "$@" || { echo "FAIL: $what"; cat "$WORK/out.txt"; FAILURES=$((FAILURES + 1)); }
}

mxb "/?"
check "/? ends with 0 (got $STATUS)" [ "$STATUS" = 0 ]
for word in makeexe makedll exportapp importapp importdct exportdct /yes /report /timeout /hide \
  "Exit status"; do
  check "help names $word" grep -qF -- "$word" "$WORK/out.txt"
done

while IFS='|' read -r args reason; do
  # shellcheck disable=SC2086
  mxb $args
  check "$args ends with 1 (got $STATUS)" [ "$STATUS" = 1 ]
  check "$args gives its reason" grep -qxF -- "mxb: $reason" "$WORK/out.txt"
done <<'END'
/run=importapp|/run=importapp replaces the applications: add /yes to confirm
/run=compile|unknown operation "compile" for /run
-run:makeexe /timeout=0|/timeout takes whole minutes from 1 to 255
/run=makeexe /frobnicate|unknown switch /frobnicate
END
# Without standard handles: the help and a switch error come up in a box.
robot run --timeout 30000 --nostd --press mxb=OK -- "$(win "$MXB")" "/?"
cp "$WORK/robot.txt" "$WORK/out.txt"
check "/? without standard output shows a box" grep -qx "window #32770 mxb" "$WORK/out.txt"
check "the box holds the help" grep -q "^text Usage: mxb .*Exit status: 0" "$WORK/out.txt"
check "/? with the box ends with 0" grep -qx "exit 0" "$WORK/out.txt"
robot run --timeout 30000 --nostd --press mxb=OK -- "$(win "$MXB")" /frobnicate
cp "$WORK/robot.txt" "$WORK/out.txt"
check "a bad switch shows its reason in the box" grep -q "^text mxb: unknown switch /frobnicate" \
  "$WORK/out.txt"
check "a bad switch with the box ends with 1" grep -qx "exit 1" "$WORK/out.txt"
rm -f "$WORK/robot.out" "$WORK/robot.txt"
check "nothing was written" [ -z "$(ls "$WORK" | grep -v '^out.txt$')" ]
finish
