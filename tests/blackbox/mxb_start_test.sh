# mxb.exe starts, opens its main window with the program's title, runs its
# loop until the window is closed from outside (its close button) and ends
# with exit code 0. No other window (no error box) opens on the way.
source "$(dirname "$0")/lib.sh"
cd "$WORK"
TITLE="Tessaly (Batch Compile Manager)"
robot run --timeout 30000 --close "$TITLE" -- "$(win "$MXB_BUILD/app/mxb.exe")"
expect_status 0
grep -qxE "window KorWin[0-9]+Class[0-9]+ Tessaly \(Batch Compile Manager\)" "$WORK/robot.txt" ||
  { echo "FAIL: no main window"; cat "$WORK/robot.txt"; FAILURES=$((FAILURES + 1)); }
[ "$(grep -c '^window ' "$WORK/robot.txt")" = 1 ] ||
  { echo "FAIL: other windows opened"; cat "$WORK/robot.txt"; FAILURES=$((FAILURES + 1)); }
expect_line "closed $TITLE"
expect_line "exit 0"
finish
