# Two programs change the same project at once: both open the change form,
# the second saves first; the first one's save then shows the station message
# ("Update Operation Error") and the other program's version in its form,
# and a further "&Ok" closes the form with that version kept.
# resource-lock: mxb_main_window
source "$(dirname "$0")/mxb_lib.sh"
FORM="Record will be Changed"
PRIORITY=16393
mkdir src
: >src/P.APP

# priority_shown PID VALUE: within 10 s that program's form shows VALUE.
priority_shown() {
  local end=$((SECONDS + 10))
  while [ $SECONDS -lt $end ]; do
    MXB_WIN=$1 robot list "$FORM"
    grep -qE "^KorEdit $PRIORITY +$2 *\$" "$WORK/robot.txt" && return 0
    sleep 0.1
  done
  echo "FAIL: form of $1 does not show priority $2"
  cat "$WORK/robot.txt"
  FAILURES=$((FAILURES + 1))
}

start_mxb  # makes the empty list
stop_mxb
load_table APPS.VEL "APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY
$(win "$WORK/src")\\,P.APP,0,3
"

start_mxb
A=$MXB_WIN A_PID=${MXB_PIDS[-1]}
start_mxb
B=$MXB_WIN B_PID=${MXB_PIDS[-1]}
check "two programs" [ "$A" != "$B" ]

MXB_WIN=$A robot click "$TITLE" "Chan&ge"
MXB_WIN=$A robot wait "$FORM" 15000
check "first form" [ "$ROBOT_STATUS" = 0 ]
MXB_WIN=$B robot click "$TITLE" "Chan&ge"
MXB_WIN=$B robot wait "$FORM" 15000
check "second form" [ "$ROBOT_STATUS" = 0 ]

MXB_WIN=$B robot settext "$FORM" $PRIORITY 7
MXB_WIN=$B robot click "$FORM" "&Ok"
MXB_WIN=$B robot gone "$FORM" 15000
check "second program saved" [ "$ROBOT_STATUS" = 0 ]

MXB_WIN=$A robot settext "$FORM" $PRIORITY 9
MXB_WIN=$A robot click "$FORM" "&Ok"
MXB_WIN=$A robot msgbox "Update Operation Error" OK 15000
check "station message" [ "$ROBOT_STATUS" = 0 ]
expect_line "text This record was changed by another station."
priority_shown "$A" 7
MXB_WIN=$A robot click "$FORM" "&Ok"
MXB_WIN=$A robot gone "$FORM" 15000
check "first form closes" [ "$ROBOT_STATUS" = 0 ]

MXB_WIN=$A
stop_mxb "$A_PID"
MXB_WIN=$B
stop_mxb "$B_PID"
"$MXB_WINE" "$VELOCORE" dump APPS.VEL --csv 2>/dev/null | tr -d '\r' >dump.txt
grep -q 'P.APP,0,7$' dump.txt || { echo "FAIL: stored version"; cat dump.txt; FAILURES=$((FAILURES + 1)); }
finish
