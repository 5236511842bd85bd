# mxb.exe starts, runs its main frame and ends with exit code 0, opening no
# window on the way.
source "$(dirname "$0")/lib.sh"
cd "$WORK"
robot run --timeout 30000 -- "$(win "$MXB_BUILD/app/mxb.exe")"
expect_status 0
expect_no_line '^window '
expect_line "exit 0"
finish
