# Shared by the black-box tests: the Wine environment, running programs of
# the build under the robot, and checks that report what differed.
#   MXB_BUILD, MXB_SOURCE, MXB_WINEPREFIX come from CTest.
set -u
source "$MXB_SOURCE/cmake/wine-env.sh"
mxb_wine_ready || { echo "FAIL: Wine is not ready"; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
FAILURES=0

# robot ARGS...: runs the robot; its output is left in $WORK/robot.out.
robot() {
  "$MXB_WINE" "$MXB_BUILD/tools/robot/robot.exe" "$@" >"$WORK/robot.out" 2>/dev/null </dev/null
  ROBOT_STATUS=$?
  tr -d '\r' <"$WORK/robot.out" >"$WORK/robot.txt"
}

# win PATH: the Windows form of a Unix path.
win() { echo "Z:${1//\//\\}"; }

expect_line() {  # expect_line "exact line" — a line of the last robot output
  if ! grep -qxF -- "$1" "$WORK/robot.txt"; then
    echo "FAIL: expected line: $1"
    echo "--- robot output:"; cat "$WORK/robot.txt"; echo "---"
    FAILURES=$((FAILURES + 1))
  fi
}

expect_no_line() {  # expect_no_line REGEX
  if grep -qE -- "$1" "$WORK/robot.txt"; then
    echo "FAIL: unexpected line matching: $1"
    echo "--- robot output:"; cat "$WORK/robot.txt"; echo "---"
    FAILURES=$((FAILURES + 1))
  fi
}

expect_status() {  # expect_status N — the robot's own exit status
  if [ "$ROBOT_STATUS" != "$1" ]; then
    echo "FAIL: robot status $ROBOT_STATUS, expected $1"; cat "$WORK/robot.txt"
    FAILURES=$((FAILURES + 1))
  fi
}

finish() {
  if [ "$FAILURES" -ne 0 ]; then echo "$FAILURES check(s) failed"; exit 1; fi
  echo "all checks passed"
}
