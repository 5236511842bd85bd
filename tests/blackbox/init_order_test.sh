# Initialisation runs by priority, 255 first and the priority-5 entries last,
# table order within a priority; close-down is the exact reverse.
source "$(dirname "$0")/lib.sh"
cd "$WORK"
"$MXB_WINE" "$MXB_BUILD/tests/programs/rtprobe.exe" order >out.txt 2>/dev/null </dev/null
status=$?
tr -d '\r' <out.txt >order.txt
cat >expected.txt <<'END'
P255 255 init
P150 150 init
P28 28 init
P16a 16 init
P16b 16 init
P5a 5 init
P5b 5 init
main done
P5b 5 exit
P5a 5 exit
P16b 16 exit
P16a 16 exit
P28 28 exit
P150 150 exit
P255 255 exit
END
if ! diff -u expected.txt order.txt; then FAILURES=$((FAILURES + 1)); fi
[ "$status" = 0 ] || { echo "FAIL: exit $status"; FAILURES=$((FAILURES + 1)); }
finish
