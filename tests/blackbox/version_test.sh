# The runtime version check: accepted builds start; refused versions show the
# matching message in the runtime library's box and end with 0.
source "$(dirname "$0")/lib.sh"
PROBE=$(win "$MXB_BUILD/tests/programs/rtprobe.exe")
cd "$WORK"

robot run --timeout 30000 -- "$PROBE" version 5 0 123
expect_no_line '^window '
expect_line "exit 0"

robot run --timeout 30000 --press "Korvane 5 Runtime Library=OK" -- "$PROBE" version 5 1 0
expect_line "window #32770 Korvane 5 Runtime Library"
expect_line 'text This program or a component DLL was built using the beta release of Korvane 5\r\nIt will not operate correctly with this copy of Z9RUNX\r\nPlease obtain a new version of this program'
expect_line "pressed OK"
expect_line "exit 0"
expect_no_line '^window [^#]'

robot run --timeout 30000 --press "Korvane 5 Runtime Library=OK" -- "$PROBE" version 0x106 2 3
expect_line 'text This program or a component DLL requires Z9RUNX version 6.002.03 or later\r\nThis version is 5.000.00'
expect_line "exit 0"
expect_no_line '^window [^#]'
finish
