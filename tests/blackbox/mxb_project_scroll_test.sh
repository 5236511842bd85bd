# Scrolling a project list of 1,000 records in the real mxb.exe: End, Home,
# Page Down, Down and a thumb drag to the middle; after each the highlighted
# row is the record the move leads to. Projects A0000..A0999 have priorities
# 0..249 in that order (four to a priority, in the order they were added).
# resource-lock: mxb_main_window
source "$(dirname "$0")/mxb_lib.sh"
selected_row() { sed -n 's/^selected //p' "$WORK/robot.txt"; }

# The program makes its empty list; the robot's table goes in beside it.
start_mxb
stop_mxb
load_table APPS.VEL "$(
  echo "APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY"
  for i in $(seq 0 999); do printf 'C:\\P\\,A%04d.APP,0,%d\n' "$i" $((i / 4)); done
)
"

start_mxb
highlighted A0000.APP
PAGE=$(sed -n 's/^count //p' "$WORK/robot.txt")
check "a page of rows ($PAGE)" [ "$PAGE" -ge 3 ] && [ "$PAGE" -lt 100 ]
check "first row highlighted" [ "$(selected_row)" = 0 ]

robot key "$TITLE" $LIST 35  # End
highlighted A0999.APP
check "last row of the page" [ "$(selected_row)" = $((PAGE - 1)) ]

robot key "$TITLE" $LIST 36  # Home
highlighted A0000.APP
robot key "$TITLE" $LIST 34  # Page Down: the highlight keeps its place on the next page
highlighted "$(printf 'A%04d.APP' "$PAGE")"
check "still the first row" [ "$(selected_row)" = 0 ]
robot key "$TITLE" $LIST 40  # Down
highlighted "$(printf 'A%04d.APP' $((PAGE + 1)))"
check "second row" [ "$(selected_row)" = 1 ]

robot vscroll "$TITLE" $LIST 4 50  # thumb released half-way: record 499 of 0..999
highlighted A0499.APP
robot vscroll "$TITLE" $LIST 4 100
highlighted A0999.APP

stop_mxb
finish
