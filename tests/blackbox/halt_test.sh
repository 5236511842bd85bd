# HALT shows its text in the "Halt" box and ends with its own exit code.
source "$(dirname "$0")/lib.sh"
PROBE=$(win "$MXB_BUILD/tests/programs/rtprobe.exe")
cd "$WORK"
robot run --timeout 30000 --press "Halt=OK" -- "$PROBE" halt 7 "Invalid Key!"
expect_line "window #32770 Halt"
expect_line "text Invalid Key!"
expect_line "pressed OK"
expect_line "exit 7"
finish
