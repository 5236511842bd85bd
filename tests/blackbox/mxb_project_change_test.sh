# Two programs change the same project at once: both open the change form,
# the second saves first; the first one's save then shows the station message
# ("Update Operation Error") and the other program's version in its form,
# and a further "&Ok" closes the form with that version kept.
# resource-lock: mxb_main_window
source "$(dirname "$0")/lib.sh"
cd "$WORK"
TITLE="Tessaly (Batch Compile Manager)"
FORM="Record will be Changed"
PRIORITY=16393
VELOCORE="$MXB_BUILD/tools/velocore/velocore.exe"
PIDS=()
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$WORK"' EXIT
mkdir src
: >src/P.APP

check() {  # check WHAT CONDITION...
  local what=$1
  shift
  "$@" || { echo "FAIL: $what"; cat "$WORK/robot.txt"; FAILURES=$((FAILURES + 1)); }
}
# start_mxb: one more program; its Windows process id is left in NEW_PID.
start_mxb() {
  local before
  robot pids "$TITLE"
  before=$(grep -c '^pid ' "$WORK/robot.txt")
  "$MXB_WINE" "$MXB_BUILD/app/mxb.exe" </dev/null >/dev/null 2>&1 &
  PIDS+=($!)
  for _ in $(seq 300); do
    robot pids "$TITLE"
    [ "$(grep -c '^pid ' "$WORK/robot.txt")" -gt "$before" ] && break
    sleep 0.1
  done
  NEW_PID=$(grep '^pid ' "$WORK/robot.txt" | sed 's/^pid //' | grep -vxF -f <(printf '%s\n' "${KNOWN[@]:-none}") | head -1)
  KNOWN+=("$NEW_PID")
  check "a new main window" [ -n "$NEW_PID" ]
  robot --pid "$NEW_PID" msgbox Warning OK 1500  # the not-running warning, if any
}
# priority_shown PID VALUE: within 10 s that program's form shows VALUE.
priority_shown() {
  for _ in $(seq 100); do
    robot --pid "$1" list "$FORM"
    grep -qE "^KorEdit $PRIORITY +$2 *\$" "$WORK/robot.txt" && return 0
    sleep 0.1
  done
  echo "FAIL: form of $1 does not show priority $2"
  cat "$WORK/robot.txt"
  FAILURES=$((FAILURES + 1))
}

KNOWN=()
start_mxb  # makes the empty list
robot --pid "$NEW_PID" close "$TITLE"
for _ in $(seq 150); do kill -0 "${PIDS[0]}" 2>/dev/null || break; sleep 0.1; done
wait "${PIDS[0]}"
PIDS=()
KNOWN=()
"$MXB_WINE" "$VELOCORE" schema APPS.VEL >schema.json 2>/dev/null
printf 'APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY\n%s\\,P.APP,0,3\n' \
  "$(win "$WORK/src")" >rows.csv
"$MXB_WINE" "$VELOCORE" load APPS.VEL UNNAMED --schema schema.json --csv rows.csv >/dev/null 2>&1
check "project loaded" [ "$?" = 0 ]

start_mxb
A=$NEW_PID
start_mxb
B=$NEW_PID
check "two programs" [ "$A" != "$B" ]

robot --pid "$A" click "$TITLE" "Chan&ge"
robot --pid "$A" wait "$FORM" 15000
check "first form" [ "$ROBOT_STATUS" = 0 ]
robot --pid "$B" click "$TITLE" "Chan&ge"
robot --pid "$B" wait "$FORM" 15000
check "second form" [ "$ROBOT_STATUS" = 0 ]

robot --pid "$B" settext "$FORM" $PRIORITY 7
robot --pid "$B" click "$FORM" "&Ok"
robot --pid "$B" gone "$FORM" 15000
check "second program saved" [ "$ROBOT_STATUS" = 0 ]

robot --pid "$A" settext "$FORM" $PRIORITY 9
robot --pid "$A" click "$FORM" "&Ok"
robot --pid "$A" msgbox "Update Operation Error" OK 15000
check "station message" [ "$ROBOT_STATUS" = 0 ]
expect_line "text This record was changed by another station."
priority_shown "$A" 7
robot --pid "$A" click "$FORM" "&Ok"
robot --pid "$A" gone "$FORM" 15000
check "first form closes" [ "$ROBOT_STATUS" = 0 ]

for p in "$A" "$B"; do robot --pid "$p" close "$TITLE"; done
for p in "${PIDS[@]}"; do
  for _ in $(seq 150); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
  wait "$p"
  check "exit 0" [ "$?" = 0 ]
done
PIDS=()
"$MXB_WINE" "$VELOCORE" dump APPS.VEL --csv 2>/dev/null | tr -d '\r' >dump.txt
grep -q 'P.APP,0,7$' dump.txt || { echo "FAIL: stored version"; cat dump.txt; FAILURES=$((FAILURES + 1)); }
finish
