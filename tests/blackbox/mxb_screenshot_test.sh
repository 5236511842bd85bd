# A screenshot of mxb.exe's main window on the demo project list (the list
# run.sh builds: two folders, five projects) with the stand-in serving
# "KorvaneWin", so the window shows "Connected to Korvane" and no warning.
# Saved as build/<preset>/screenshots/main_window.png (cropped to the
# window) once its controls have painted; a window that never shows them
# fails, and so does one whose size is not near the resource's 291 x 176
# dialog units (checked loosely: wider than tall, at least 400 x 250 pixels).
# resource-lock: KorvaneWin
source "$(dirname "$0")/sim_lib.sh"
MXB="$MXB_BUILD/app/mxb.exe"
VELOCORE="$MXB_BUILD/tools/velocore/velocore.exe"
TITLE="Tessaly (Batch Compile Manager)"
SHOTS="$MXB_BUILD/screenshots"
mkdir -p "$SHOTS"
cd "$WORK"
mkdir -p run tools accounts
T=$(win "$WORK/tools")\\
A=$(win "$WORK/accounts")\\

start_ready "$WORK/sim.log" /idle=60000
# The data files: an unattended run creates them; the list is then loaded.
(cd run && "$MXB_WINE" "$MXB" /run=makeexe /hide >/dev/null 2>&1 </dev/null)
(cd run && "$MXB_WINE" "$VELOCORE" schema APPS.VEL 2>/dev/null </dev/null | tr -d '\r') \
  >run/apps.schema.json
cat >run/apps.csv <<END
APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY
$T,Hammer.app,1,1
$A,Inventory.app,1,2
$A,Ledger.app,1,3
$T,Archive.app,2,4
$A,Payroll.app,1,5
END
(cd run && "$MXB_WINE" "$VELOCORE" load APPS.VEL UNNAMED --schema apps.schema.json \
  --csv apps.csv </dev/null 2>&1 | tr -d '\r') | grep -q "^5 records added" ||
  fail "the demo list was not loaded"

(cd run && exec "$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" run --timeout 60000 \
  --press Warning=OK -- "$(win "$MXB")" >"$WORK/run.txt" 2>/dev/null </dev/null) &
ROBOT_PID=$!
SIM_PIDS+=("$ROBOT_PID")
# Other tests run programs with the same title: the robot looks only at the
# windows of the program the run started (its Windows id, the run's first line).
wait_log "$WORK/run.txt" '^pid [0-9]+$' 30000 || fail "mxb.exe did not start"
WINPID=$(log_text "$WORK/run.txt" | sed -n 's/^pid //p')
on_mxb() { robot --pid "${WINPID:-0}" "$@"; }
on_mxb wait "$TITLE" 30000 || fail "no main window"
# The window shows its connection state once the first attempt is over.
deadline=$((SECONDS + 30))
until on_mxb text "$TITLE" $((0x4000 + 22)) && grep -q "Connected to Korvane" "$WORK/robot.txt"; do
  [ "$SECONDS" -ge "$deadline" ] && { fail "no connection shown: $(cat "$WORK/robot.txt")"; break; }
  sleep 0.1
done
on_mxb rect "$TITLE"
read -r _ l t r b <"$WORK/robot.txt"
# The controls paint after the window shows: shots are taken until the
# client area (below the caption) is no longer one colour.
deadline=$((SECONDS + 20))
while :; do
  "$MXB_SOURCE/tools/robot/screenshot.sh" "$WORK/full.png" "$DISPLAY"
  /usr/bin/convert "$WORK/full.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage \
    "$SHOTS/main_window.png"
  spread=$(/usr/bin/convert "$SHOTS/main_window.png" -crop "+0+40" +repage \
    -format '%[fx:standard_deviation]' info:)
  [ "$spread" != "0" ] && break
  [ "$SECONDS" -ge "$deadline" ] && { fail "main_window.png shows no controls"; break; }
  sleep 0.2
done
[ $((r - l)) -ge 400 ] && [ $((b - t)) -ge 250 ] && [ $((r - l)) -gt $((b - t)) ] ||
  fail "the window is $((r - l)) x $((b - t)) pixels"
echo "saved $SHOTS/main_window.png"
on_mxb close "$TITLE"
wait_exit "$ROBOT_PID" 30000 || fail "mxb.exe did not end"
finish
