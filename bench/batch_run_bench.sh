#!/bin/bash
# The long unattended run: mxb.exe /run=makeexe over a list of PROJECTS
# tagged projects (default 200, one folder each) against the stand-in
# Z9EE.exe answering at once and writing each output OUTPUT_MS (50) after
# the acknowledgement, under Wine from the win64 build. Measures
#   - the time per project (the run's report) against the stand-in's own
#     handling time (its output delay), and the run's wall time;
#   - the growth of mxb.exe's resources over the run: every SAMPLE_S (5)
#     seconds its Windows handles (its entries in the system handle table)
#     and windows, GDI and USER objects and working set (read by
#     bench/procstat_win.cc from outside the process; Wine counts no GDI or
#     USER objects and gives them as 0), and the Wine process's VmRSS, VmData
#     and open descriptors (/proc), each against the number of commands the
#     stand-in has received so far. Growth is the least-squares slope per
#     project over the samples from the 10th project (the first ones open
#     the files and warm the caches) to the one before the last (the last
#     project's samples take in the end steps, which write the report and
#     close the files), and the difference between the first and last of
#     those samples.
# A counter growing with the number of projects is a leak: the script ends
# with status 1 when handles, windows, GDI/USER objects or descriptors grow
# by more than 0.02 per project, or memory by more than 4 KB per project.
# Some memory does follow the list within one run, and is no leak: the
# project list's page cache fills as the walk reads on (the list stays open),
# the activity log's as it grows, and the report keeps a row per project;
# all of it is bounded by the files and the list.
#   bench/batch_run_bench.sh [PROJECTS]
# Needs build/win64 with mxb, Z9EE, velocore and procstat built. Everything
# it makes is in build/bench-batch/; the figures also in its result.txt.
set -u
cd "$(dirname "$0")/.."
N=${1:-200}
OUTPUT_MS=${OUTPUT_MS:-50}
SAMPLE_S=${SAMPLE_S:-5}
BIN="$PWD/build/win64"
MXB="$BIN/app/mxb.exe"
Z9EE="$BIN/app/Z9EE.exe"
VELOCORE="$BIN/tools/velocore/velocore.exe"
PROCSTAT="$BIN/bench/procstat.exe"
for p in "$MXB" "$Z9EE" "$VELOCORE" "$PROCSTAT"; do
  [ -x "$p" ] || { echo "missing $p (cmake --build build/win64 --target mxb Z9EE velocore procstat)"; exit 2; }
done
export MXB_WINEPREFIX="$BIN/wineprefix"
source cmake/wine-env.sh
mxb_wine_ready || exit 2
win() { echo "Z:${1//\//\\}"; }

OUT="$PWD/build/bench-batch"
rm -rf "$OUT"
mkdir -p "$OUT/run"
cd "$OUT/run" || exit 2
LOG="$OUT/Z9EE.LOG"
"$MXB_WINE" "$Z9EE" "/delay=$OUTPUT_MS" /idle=120000 "/log=$(win "$LOG")" >/dev/null 2>&1 </dev/null &
SIM=$!
trap '"$MXB_WINE" "$Z9EE" /quit >/dev/null 2>&1 </dev/null; kill $SIM 2>/dev/null' EXIT
for _ in $(seq 1 600); do grep -q $'^ready\t' "$LOG" 2>/dev/null && break; sleep 0.1; done
grep -q $'^ready\t' "$LOG" 2>/dev/null || { echo "the stand-in did not get ready"; exit 2; }

# The data files as the program makes them, then the list loaded with the
# declaration it wrote (as run.sh does).
"$MXB_WINE" "$MXB" /run=makeexe /hide /report=first.json </dev/null >/dev/null 2>&1
"$MXB_WINE" "$VELOCORE" schema APPS.VEL </dev/null 2>/dev/null | tr -d '\r' >apps.schema.json
{
  echo "APP:DRIVENPATH,APP:APPLICATION,APP:TAG,APP:PRIORITY"
  for i in $(seq -w 1 "$N"); do
    mkdir -p "$OUT/proj/p$i"
    echo "source $i" >"$OUT/proj/p$i/Project$i.APP"
    echo "$(win "$OUT/proj/p$i")\\,Project$i.app,1,$((10#$i % 256))"
  done
} >apps.csv
"$MXB_WINE" "$VELOCORE" load APPS.VEL UNNAMED --schema apps.schema.json --csv apps.csv \
  </dev/null >/dev/null 2>&1 || { echo "the project list could not be loaded"; exit 2; }
before=$(grep -c $'^execute\t' "$LOG")

echo "running /run=makeexe over $N projects (stand-in output after $OUTPUT_MS ms) ..."
start=$(date +%s.%N)
"$MXB_WINE" "$MXB" /run=makeexe /hide /timeout=1 /report=report.json </dev/null >/dev/null 2>&1 &
PID=$!
SAMPLES="$OUT/samples.csv"
echo "projects,handles,windows,gdi,user,working_set_kb,vm_rss_kb,vm_data_kb,fds" >"$SAMPLES"
# One row per sample while the program runs; a row is kept only when both
# sides read the same live process.
while kill -0 "$PID" 2>/dev/null; do
  sent=$(($(grep -c $'^execute\t' "$LOG") - before))
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$PID/status" 2>/dev/null)
  data=$(awk '/^VmData:/ {print $2}' "/proc/$PID/status" 2>/dev/null)
  fds=$(ls "/proc/$PID/fd" 2>/dev/null | wc -l)
  counters=$("$MXB_WINE" "$PROCSTAT" mxb.exe </dev/null 2>/dev/null | tr -d '\r')
  if [ -n "$rss" ] && [ -n "$counters" ] && kill -0 "$PID" 2>/dev/null; then
    echo "$counters" |
      sed -E 's/.*handles=([0-9]+) windows=([0-9]+) gdi=([0-9]+) user=([0-9]+) private_kb=[0-9]+ working_set_kb=([0-9]+).*/\1,\2,\3,\4,\5/' |
      sed "s/^/$sent,/; s/\$/,$rss,$data,$fds/" >>"$SAMPLES"
  fi
  sleep "$SAMPLE_S"
done
wait "$PID"
status=$?
end=$(date +%s.%N)

python3 - "$OUT/run/report.json" "$SAMPLES" "$N" "$status" "$start" "$end" "$OUTPUT_MS" \
  <<'PY' | tee "$OUT/result.txt"
import json, statistics, sys
report, samples, n, status, start, end, output_ms = sys.argv[1:]
n, status = int(n), int(status)
rows = [json.loads(l) for l in open(report, encoding="utf-8") if l.strip()]
projects = [r for r in rows if "project" in r]
finished = [r for r in projects if r.get("outcome") == "finished"]
secs = [r["seconds"] for r in finished]
wall = float(end) - float(start)
print(f"projects {n}, finished {len(finished)}, exit status {status}, wall {wall:.0f} s "
      f"({wall / max(n, 1):.2f} s a project)")
if secs:
    print(f"time per project (report): mean {statistics.mean(secs):.2f} s, median "
          f"{statistics.median(secs):.2f}, min {min(secs):.2f}, max {max(secs):.2f}; "
          f"the stand-in's own handling: acknowledgement at once, output after {output_ms} ms")
lines = open(samples).read().split("\n")
head = lines[0].split(",")
data = [list(map(int, l.split(","))) for l in lines[1:] if l.strip()]
warm = [d for d in data if 10 <= d[0] < n]
if len(warm) < 3:
    print("too few samples from the 10th project to the one before the last")
    sys.exit(1)
x = [d[0] for d in warm]
mx = statistics.mean(x)
sxx = sum((v - mx) ** 2 for v in x) or 1
limits = {"handles": 0.02, "windows": 0.02, "gdi": 0.02, "user": 0.02, "working_set_kb": 4,
          "vm_rss_kb": 4, "vm_data_kb": 4, "fds": 0.02}
leak = False
print(f"{len(data)} samples, {len(warm)} from project {warm[0][0]} to {warm[-1][0]}:")
print(f"  {'counter':16} {'first':>9} {'last':>9} {'change':>8} {'slope/project':>14} {'limit':>6}")
for i, name in enumerate(head[1:], start=1):
    y = [d[i] for d in warm]
    my = statistics.mean(y)
    slope = sum((a - mx) * (b - my) for a, b in zip(x, y)) / sxx
    grows = slope > limits[name]
    leak |= grows and name in limits
    print(f"  {name:16} {y[0]:9} {y[-1]:9} {y[-1] - y[0]:8} {slope:14.3f} {limits[name]:6}"
          + ("  GROWS" if grows else ""))
print("verdict:", "resources grow with the number of projects" if leak else "no growth")
sys.exit(1 if leak or len(finished) != n else 0)
PY
