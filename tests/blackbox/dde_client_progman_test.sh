# The runtime's DDE client against a partner no one here wrote: Wine's own
# shell serves "Progman" (topic "Progman"). A group made by [CreateGroup()]
# appears as a folder of the start menu, [DeleteGroup()] removes it, and a
# command the shell does not know is refused (603).
source "$(dirname "$0")/lib.sh"
CLIENT="$MXB_BUILD/tests/programs/ddeclient.exe"
GROUP="KorDde$$"
PROGRAMS=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs)

client() {
  "$MXB_WINE" "$CLIENT" "$@" >"$WORK/robot.out" 2>/dev/null </dev/null
  ROBOT_STATUS=$?
  tr -d '\r' <"$WORK/robot.out" >"$WORK/robot.txt"
}
expect_output() {
  if ! diff -u - "$WORK/robot.txt" >"$WORK/diff.txt"; then
    echo "FAIL: client output differs (- expected, + actual):"; cat "$WORK/diff.txt"
    FAILURES=$((FAILURES + 1))
  fi
}
cleanup() {
  [ -d "$PROGRAMS/$GROUP" ] && client open Progman Progman exec "[DeleteGroup($GROUP)]" close
  rm -rf "$WORK"
}
trap cleanup EXIT

# The shell opens a folder window for a new group: it is closed at once.
client open Progman Progman exec "[CreateGroup($GROUP)]" closetitled "$GROUP" 10000 \
  exec "[NoSuchCommand($GROUP)]" close
expect_output <<END
open channel
error 0
error 0
closed titled
error 603
error 0
END
[ -d "$PROGRAMS/$GROUP" ] || { echo "FAIL: no group folder $GROUP after CreateGroup"; FAILURES=$((FAILURES + 1)); }

client open Progman Progman exec "[DeleteGroup($GROUP)]" close
expect_output <<END
open channel
error 0
error 0
error 0
END
[ -d "$PROGRAMS/$GROUP" ] && { echo "FAIL: group folder $GROUP left after DeleteGroup"; FAILURES=$((FAILURES + 1)); }
finish
