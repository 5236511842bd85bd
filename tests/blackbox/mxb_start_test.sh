# mxb.exe starts, opens its main window with the program's title, warns that
# the environment is not running (no stand-in serves "KorvaneWin" here; the
# box is answered), runs its loop until the window is closed from outside
# (its close button) and ends with exit code 0. No other window (no error
# box) opens on the way.
# resource-lock: KorvaneWin
source "$(dirname "$0")/lib.sh"
cd "$WORK"
TITLE="Tessaly (Batch Compile Manager)"
"$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" run --timeout 60000 -- \
  "$(win "$MXB_BUILD/app/mxb.exe")" >"$WORK/run.txt" 2>/dev/null </dev/null &
RUN_PID=$!
# Other tests run programs with the same titles: the robot looks only at the
# windows of the program the run started (its Windows id, the run's first line).
WINPID=
for _ in $(seq 300); do
  WINPID=$(tr -d '\r' <"$WORK/run.txt" | sed -n 's/^pid \([0-9]*\)$/\1/p')
  [ -n "$WINPID" ] && break
  sleep 0.1
done
[ -n "$WINPID" ] || { echo "FAIL: mxb.exe did not start"; FAILURES=$((FAILURES + 1)); }
# The close box does nothing while the warning holds the window: the warning
# is answered first.
robot --pid "${WINPID:-0}" msgbox Warning OK 30000
expect_status 0
expect_line "text Korvane is not currently running. For better control over your working environment, press \"Connect\" now."
robot --pid "${WINPID:-0}" close "$TITLE"
wait "$RUN_PID"
tr -d '\r' <"$WORK/run.txt" >"$WORK/robot.txt"
grep -qxE "window KorWin[0-9]+Class[0-9]+ Tessaly \(Batch Compile Manager\)" "$WORK/robot.txt" ||
  { echo "FAIL: no main window"; cat "$WORK/robot.txt"; FAILURES=$((FAILURES + 1)); }
# (The warning, answered at once, may close before the run's robot sees it.)
grep '^window ' "$WORK/robot.txt" | grep -vxE "window (KorWin[0-9]+Class[0-9]+ Tessaly \(Batch Compile Manager\)|#32770 Warning)" |
  grep -q . && { echo "FAIL: other windows opened"; cat "$WORK/robot.txt"; FAILURES=$((FAILURES + 1)); }
expect_line "exit 0"
finish
