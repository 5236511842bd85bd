# The "Runtime error" box: its texts, No ending with exit code 2, Yes causing
# an access violation that the system ends the process for, and a runtime
# error after shutdown returning to its caller.
source "$(dirname "$0")/lib.sh"
PROBE=$(win "$MXB_BUILD/tests/programs/rtprobe.exe")
cd "$WORK"

robot run --timeout 30000 --press "Runtime error=No" -- "$PROBE" raiser 406
expect_line "window #32770 Runtime error"
expect_line 'text No return value from function\nDo you want to GPF?'
expect_line "pressed No"
expect_line "exit 2"

robot run --timeout 30000 --press "Runtime error=No" -- "$PROBE" raise 501 "String Stack Error"
expect_line 'text Internal error 01 : String Stack Error\nDo you want to GPF?'
expect_line "exit 2"

robot run --timeout 30000 --press "Runtime error=No" -- "$PROBE" raise 314
expect_line 'text Unknown Error Posted : 314\nDo you want to GPF?'

robot run --timeout 30000 --press "Runtime error=No" -- "$PROBE" raise 0 "Only the text"
expect_line 'text Only the text\nDo you want to GPF?'

for code in 401 402 404 405 407 409; do
  robot run --timeout 30000 --press "Runtime error=No" -- "$PROBE" raiser $code
  expect_line "exit 2"
done
expect_line 'text Index out of range\nDo you want to GPF?'

# Yes: an access violation reaches the fault handler and then the system,
# which ends the process with the fault's code (cut to 8 bits under Wine).
robot run --timeout 30000 --press "Runtime error=Yes" -- "$PROBE" raise 406
expect_line "pressed Yes"
expect_line "exit 3221225477"  # 0xC0000005
expect_no_line '^timeout$'

robot run --timeout 30000 --press "Runtime error=No" -- "$PROBE" raise-after-shutdown 409
expect_line "exit 0"
finish
