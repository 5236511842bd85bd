#!/bin/bash
# Runs every benchmark (native, optimised build); each compares the runtime
# with a peer in the same run. Ends with one table: each measure, our time,
# the peer's, the ratio peer / ours and its goal (bench/summary.py).
# Arguments are passed to every benchmark program.
cd "$(dirname "$0")"
./cmake/install-deps.sh || exit 1
cmake --preset native >/dev/null && cmake --build build/native -j"$(nproc)" >/dev/null || exit 1
out=build/bench-logs
rm -rf "$out"
mkdir -p "$out"
status=0
for b in $(find build/native/bench -maxdepth 1 -type f -executable 2>/dev/null | sort); do
  name=$(basename "$b")
  echo "== $name"
  "$b" --benchmark_out="$out/$name.json" --benchmark_out_format=json "$@" || status=1
done
# The window library's benchmarks run under Wine, from the win64 build when
# there is one (cmake --preset win64 && cmake --build build/win64 builds it).
if [ -x build/win64/bench/ui_bench.exe ] && [ -x build/win64/wine-run.sh ]; then
  echo "== ui_bench (win64, under Wine)"
  build/win64/wine-run.sh build/win64/bench/ui_bench.exe \
    "--benchmark_out=Z:$(pwd)/$out/ui_bench.json" "$@" >"$out/ui_bench.txt" || status=1
  grep -v '^wine: ' "$out/ui_bench.txt"
fi
# The long unattended run (bench/batch_run_bench.sh): mxb.exe over
# BATCH_PROJECTS (200) projects against the stand-in, time per project and
# the growth of its handles and memory. Each project waits for one tick of
# the main window's 10-second timer, so 200 take about 35 minutes;
# BATCH_PROJECTS=0 leaves it out.
if [ "${BATCH_PROJECTS:-200}" != 0 ] && [ -f build/win64/build.ninja ]; then
  echo "== batch_run (win64, under Wine, ${BATCH_PROJECTS:-200} projects)"
  cmake --build build/win64 -j"$(nproc)" --target mxb Z9EE velocore procstat >/dev/null &&
    bench/batch_run_bench.sh "${BATCH_PROJECTS:-200}" || status=1
fi
echo
echo "== summary (CPU time per iteration; peer/ours above 1: ours is faster)"
python3 bench/summary.py "$out"/*.json || status=1
exit $status
