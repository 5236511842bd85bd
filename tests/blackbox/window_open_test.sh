# A window opened from its resource shows its title and its controls (class,
# identifier field + 16384, text) in a window class of its own, and is drawn:
# the screenshot of its place on the screen is not blank. The screenshot is
# kept in the build (test-shots/window_open.png) for a look.
source "$(dirname "$0")/win_lib.sh"
cd "$WORK"
TITLE="Event Test"
SHOTS="$MXB_BUILD/test-shots"
mkdir -p "$SHOTS"

start_probe "$WORK/open.log" 'T$MAIN'
wait_line open.log 'T$MAIN EVENT:OpenWindow 0'
robot list "$TITLE"; expect_status 0
expect_line "Button 16385 &One"
expect_line "Edit 16386 "
expect_line "Button 16387 Three"
expect_line "Button 16388 Four"
expect_line "Button 16389 Five"
expect_line "Button 16390 Six"
expect_line "Static 16391 Seven"
expect_line "Button 16392 Close"
[ "$(wc -l <"$WORK/robot.txt")" = 8 ] || fail "the window has other controls too"

robot rect "$TITLE"; expect_status 0
read -r _ left top right bottom <"$WORK/robot.txt"
"$MXB_SOURCE/tools/robot/screenshot.sh" "$SHOTS/window_open.png" "$DISPLAY"
geometry="$((right - left))x$((bottom - top))+$left+$top"
spread=$(/usr/bin/convert "$SHOTS/window_open.png" -crop "$geometry" +repage \
  -format '%[fx:standard_deviation]' info:)
colours=$(/usr/bin/convert "$SHOTS/window_open.png" -crop "$geometry" +repage \
  -format '%k' info:)
awk -v s="$spread" 'BEGIN { exit !(s > 0.05) }' || fail "the window's place looks blank ($spread)"
[ "${colours:-0}" -ge 4 ] || fail "the window shows only $colours colours"
robot close "$TITLE"; expect_status 0
wait_exit "$PROBE_PID" && { [ "$EXIT_STATUS" = 0 ] || fail "exit $EXIT_STATUS"; }

# Seen from outside: one visible top-level window, of the class
# "KorWin<instance>Class<number>", with the window's title.
robot run --close "$TITLE" -- "$(win "$WINPROBE")" "$(win "$WORK/run.log")" 'T$MAIN'
expect_status 0
grep -qxE "window KorWin[0-9]+Class[0-9]+ $TITLE" "$WORK/robot.txt" ||
  { fail "no window of its own class with the title"; cat "$WORK/robot.txt"; }
expect_line "closed $TITLE"
expect_line "exit 0"
finish
