#!/bin/bash
# The main job: builds the Windows program if needed and, under Wine, runs the
# batch driver over a demo project list with the stand-in development
# environment (Z9EE.exe, beside mxb.exe), then prints the run's report.
#   ./run.sh [OPERATION]   OPERATION: makeexe (default), makedll, exportapp,
#                          exportdct, importdct, importapp
#   ./run.sh --window      opens the program's main window on the demo list
# It uses $DISPLAY when there is one, else a private Xvfb display. Everything
# it makes is in build/demo/ (the data files, the projects, the report).
cd "$(dirname "$0")"
./cmake/install-deps.sh || exit 1
if [ ! -f build/win64/build.ninja ]; then cmake --preset win64 >/dev/null || exit 1; fi
echo "building mxb.exe, Z9EE.exe and velocore.exe (win64) ..."
cmake --build build/win64 -j"$(nproc)" --target mxb Z9EE velocore >/dev/null || exit 1
export MXB_WINEPREFIX="$PWD/build/win64/wineprefix"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then export MXB_DISPLAY="$DISPLAY"; fi
source cmake/wine-env.sh
mxb_wine_ready || exit 1

BIN="$PWD/build/win64"
MXB="$BIN/app/mxb.exe"
Z9EE="$BIN/app/Z9EE.exe"
VELOCORE="$BIN/tools/velocore/velocore.exe"
win() { echo "Z:${1//\//\\}"; }
wine_run() { "$MXB_WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# The demo: two project folders; Ledger has no source (logged, skipped),
# Archive is tagged 2 (left alone), Inventory has a base name longer than 8.
DEMO="$PWD/build/demo"
rm -rf "$DEMO"
mkdir -p "$DEMO/tools" "$DEMO/accounts"
for f in tools/Hammer tools/Archive accounts/Inventory accounts/Payroll; do
  echo "source of $(basename "$f")" >"$DEMO/$f.APP"
  echo "dictionary of $(basename "$f")" >"$DEMO/$f.DCT"
done
cd "$DEMO" || exit 1
# The stand-in serves "KorvaneWin"; it quits by itself after a minute idle.
"$MXB_WINE" "$Z9EE" /delay=800 /idle=60000 "/log=$(win "$DEMO/Z9EE.LOG")" >/dev/null 2>&1 </dev/null &
trap '"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null' EXIT

# A first run on the empty folder creates the data files; the list is then
# loaded with the declaration the program wrote.
wine_run "$MXB" /run=makeexe /hide /report=first.json >/dev/null
wine_run "$VELOCORE" schema APPS.VEL >apps.schema.json
T=$(win "$DEMO/tools")\\
A=$(win "$DEMO/accounts")\\
cat >apps.csv <<END
APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY
$T,Hammer.app,1,1
$A,Inventory.app,1,2
$A,Ledger.app,1,3
$T,Archive.app,2,4
$A,Payroll.app,1,5
END
wine_run "$VELOCORE" load APPS.VEL UNNAMED --schema apps.schema.json --csv apps.csv |
  sed 's/^/project list: /'
rm -f first.json

if [ "${1:-}" = "--window" ]; then
  echo "opening the main window (close it to end)"
  wine_run "$MXB"
  exit 0
fi

OP=${1:-makeexe}
YES=()
[ "$OP" = importapp ] && YES=(/yes)
echo "running /run=$OP over the demo list in $DEMO ..."
"$MXB_WINE" "$MXB" "/run=$OP" "${YES[@]}" /hide /timeout=1 /report=report.json \
  </dev/null >/dev/null 2>&1
status=$?
echo "report (build/demo/report.json):"
sed 's/^/  /' report.json 2>/dev/null
echo "activity log:"
wine_run "$VELOCORE" dump TEMPFILE.VEL --csv | sed 's/^/  /'
echo "mxb.exe ended with exit status $status"
exit "$status"
