# The environment file beside a program replaces the texts of its messages:
# a KORMSG line changes what the runtime error box shows.
source "$(dirname "$0")/lib.sh"
cd "$WORK"
cp "$MXB_BUILD/tests/programs/rtprobe.exe" envprobe.exe
printf 'KORMSG406=Nothing came back\r\nKORMSG501=Stack trouble\r\n' > envprobe.ENV
robot run --timeout 30000 --press "Runtime error=No" -- "$(win "$WORK/envprobe.exe")" raiser 406
expect_line 'text Nothing came back\nDo you want to GPF?'
expect_line "exit 2"
robot run --timeout 30000 --press "Runtime error=No" -- "$(win "$WORK/envprobe.exe")" raise 501 "String Stack Error"
expect_line 'text Stack trouble : String Stack Error\nDo you want to GPF?'
# Without the file the table's own text is back.
rm envprobe.ENV
robot run --timeout 30000 --press "Runtime error=No" -- "$(win "$WORK/envprobe.exe")" raiser 406
expect_line 'text No return value from function\nDo you want to GPF?'
finish
