# The runtime's DDE client with an owner window (ddeclient.exe --owner) and
# a partner on another thread of the same process that serves hot links:
# every update of the item lands in the variable and queues EVENT:DDEdata
# with the channel, service and topic; after the link ends no update comes
# (the partner posts before its push returns, so nothing queued means
# nothing sent); the partner ending the conversation queues EVENT:DDEclosed.
source "$(dirname "$0")/lib.sh"
CLIENT="$MXB_BUILD/tests/programs/ddeclient.exe"
SERVICE="KorHot$$"

"$MXB_WINE" "$CLIENT" --owner partner "$SERVICE" open "$SERVICE" "" advise Item \
  push hello events 1 10000 push world events 1 10000 unadvise Item push again events 1 0 \
  partnerend events 1 10000 exec ok close >"$WORK/out.raw" 2>/dev/null </dev/null
tr -d '\r' <"$WORK/out.raw" >"$WORK/out.txt"
if ! diff -u - "$WORK/out.txt" >"$WORK/diff.txt" <<END
partner started
open channel
error 0
error 0
event EVENT:DDEdata channel=same service=$SERVICE topic=Topic value=hello
events 1
event EVENT:DDEdata channel=same service=$SERVICE topic=Topic value=world
events 1
error 0
events 0
event EVENT:DDEclosed channel=same service=$SERVICE topic=Topic
events 1
error 602
error 0
END
then
  echo "FAIL: client output differs (- expected, + actual):"; cat "$WORK/diff.txt"
  FAILURES=$((FAILURES + 1))
fi
finish
