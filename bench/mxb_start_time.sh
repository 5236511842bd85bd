#!/bin/bash
# Time from starting mxb.exe to its main window on the screen, under Wine,
# with a project list of 1,000 records, and as the peer in the same run the
# same start with an empty list. The stand-in serves "KorvaneWin", so no
# warning box stands in the way. Each start is timed from the moment the
# program is launched until the robot finds the window visible and its
# "Last Action" filled (the opening steps are done and the window painted)
# and, for the full list, its first page of rows in the list;
# the median of RUNS starts (default 5) is printed for each list.
#   bench/mxb_start_time.sh [RUNS]    (needs the win64 build)
cd "$(dirname "$0")/.." || exit 1
RUNS=${1:-5}
BIN="$PWD/build/win64"
export MXB_WINEPREFIX="$BIN/wineprefix"
source cmake/wine-env.sh
mxb_wine_ready || exit 1
MXB="$BIN/app/mxb.exe"
Z9EE="$BIN/app/Z9EE.exe"
VELOCORE="$BIN/tools/velocore/velocore.exe"
ROBOT="$BIN/tools/robot/robot.exe"
TITLE="Tessaly (Batch Compile Manager)"
win() { echo "Z:${1//\//\\}"; }
WORK=$(mktemp -d)
trap '"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null; rm -rf "$WORK"' EXIT
mkdir "$WORK/empty" "$WORK/full"
"$MXB_WINE" "$Z9EE" /delay=100 /idle=300000 "/log=$(win "$WORK/sim.log")" >/dev/null 2>&1 </dev/null &
for _ in $(seq 300); do  # up to 30 s for the stand-in to answer
  [ -f "$WORK/sim.log" ] && tr -d '\r' <"$WORK/sim.log" | grep -q $'^ready\t' && break
  sleep 0.1
done
cat "$WORK/sim.log" 2>/dev/null | tr -d '\r' | grep -q $'^ready\t' || { echo "no stand-in" >&2; exit 1; }

# Both folders get their data files from an unattended run over no list.
for d in empty full; do
  (cd "$WORK/$d" && "$MXB_WINE" "$MXB" /run=makeexe /hide >/dev/null 2>&1 </dev/null)
done
(cd "$WORK/full" && "$MXB_WINE" "$VELOCORE" schema APPS.VEL 2>/dev/null </dev/null | tr -d '\r') \
  >"$WORK/full/apps.schema.json"
{
  echo "APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY"
  for i in $(seq 1 1000); do
    printf 'C:\\PROJECTS\\GROUP%02d\\,project%04d.app,%d,%d\n' $((i % 40)) "$i" $((i % 2)) $((i % 256))
  done
} >"$WORK/full/apps.csv"
(cd "$WORK/full" && "$MXB_WINE" "$VELOCORE" load APPS.VEL UNNAMED --schema apps.schema.json \
  --csv apps.csv </dev/null 2>&1 | tr -d '\r') | grep "records added" || exit 1

# one_start DIR: milliseconds from launch to the window shown and filled.
one_start() {
  local t0 t1 pid
  t0=$(date +%s%N)
  (cd "$1" && exec "$MXB_WINE" "$MXB" >/dev/null 2>&1 </dev/null) &
  pid=$!
  local deadline=$((SECONDS + 60))
  until "$MXB_WINE" "$ROBOT" text "$TITLE" $((0x4000 + 22)) 2>/dev/null </dev/null |
    grep -q "^text Connected to Korvane"; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "no connected main window after 60 s" >&2
      "$MXB_WINE" "$ROBOT" msgbox Warning OK 1000 >/dev/null 2>&1 </dev/null
      "$MXB_WINE" "$ROBOT" close "$TITLE" >/dev/null 2>&1 </dev/null
      exit 1
    fi
    sleep 0.01
  done
  # The list's first page comes after the opening steps: a full list is
  # painted once the list holds rows.
  if [ "$2" = full ]; then
    until "$MXB_WINE" "$ROBOT" rows "$TITLE" $((0x4000 + 1)) 2>/dev/null </dev/null |
      grep -q "^count [1-9]"; do
      [ "$SECONDS" -lt "$deadline" ] || { echo "no rows after 60 s" >&2; exit 1; }
      sleep 0.01
    done
  fi
  t1=$(date +%s%N)
  "$MXB_WINE" "$ROBOT" close "$TITLE" >/dev/null 2>&1 </dev/null
  wait "$pid"
  echo $(((t1 - t0) / 1000000))
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

one_start "$WORK/empty" >/dev/null  # warms the Wine server and the file cache
for d in full empty; do
  for _ in $(seq "$RUNS"); do one_start "$WORK/$d" "$d"; done >"$WORK/$d.times"
done
full=$(median <"$WORK/full.times")
empty=$(median <"$WORK/empty.times")
echo "start to main window, median of $RUNS: 1,000 projects ${full} ms, empty list ${empty} ms"
echo "runs (ms): 1,000 projects $(tr '\n' ' ' <"$WORK/full.times"); empty $(tr '\n' ' ' <"$WORK/empty.times")"
