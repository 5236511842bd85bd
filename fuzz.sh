#!/bin/bash
# Runs the fuzz targets open-ended: every target the fuzz build made (or the
# ones named), for a given time or number of inputs each, several at once,
# niced, from build/fuzz-o1 (the fuzz preset at -O1). Each target keeps a
# growing corpus in build/fuzz-corpus/<name>/, seeded from fuzz/corpus/<name>/
# (and the build's fuzz-seeds) with its dictionary. Ends with one line per target: inputs run, exec/s, cov and ft
# from libFuzzer's final stats, and each finding with its reproducer and the
# command that reproduces it. Exit status 1 when a target found something or
# failed to run.
#
#   ./fuzz.sh [-t TIME | -r RUNS] [-j JOBS] [TARGET...]
#     -t TIME  time per target: seconds, or with s/m/h (default 10m)
#     -r RUNS  inputs per target instead of a time
#     -j JOBS  targets run at once (default: the number of cores)
#   NICE=N     niceness of the fuzzers (default 19: only otherwise idle CPU)
# The whole script is one block, read before it runs: a campaign lasts hours,
# and bash would otherwise read an edited or checked-out fuzz.sh mid-run.
{
cd "$(dirname "$0")" || exit 1

usage() { sed -n '11,15p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }

# seconds TEXT: a duration such as 90, 90s, 15m or 2h in seconds; empty when
# the text is not one.
seconds() {
  case "$1" in
    *[!0-9smh]* | '' | [smh]*) return ;;
    *h) echo $((${1%h} * 3600)) ;;
    *m) echo $((${1%m} * 60)) ;;
    *s) echo "${1%s}" ;;
    *) echo "$1" ;;
  esac
}

time_limit=600
runs=
jobs=$(nproc)
while getopts "t:r:j:h" opt; do
  case "$opt" in
    t) time_limit=$(seconds "$OPTARG"); runs=
       [ -n "$time_limit" ] && [ "$time_limit" -gt 0 ] || { echo "-t: not a duration: $OPTARG" >&2; exit 2; } ;;
    r) runs=$OPTARG
       [[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "-r: not a count of inputs: $OPTARG" >&2; exit 2; } ;;
    j) jobs=$OPTARG
       [[ "$jobs" =~ ^[1-9][0-9]*$ ]] || { echo "-j: not a count of jobs: $OPTARG" >&2; exit 2; } ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
nice_level=${NICE:-19}

./cmake/install-deps.sh || exit 1
# The fuzz preset's build (sanitizers, assertions) optimised at -O1, in a
# directory of its own: it runs about three times as many inputs a second as
# the unoptimised build ./test.sh uses, and finds the same faults.
build=build/fuzz-o1
echo "== build $build"
mkdir -p build
if ! { cmake --preset fuzz -B "$build" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
         -DCMAKE_C_FLAGS_DEBUG="-g -O1" >build/fuzz-o1-configure.log 2>&1 &&
       nice -n 10 cmake --build "$build" -j"$jobs" >build/fuzz-o1-build.log 2>&1; }; then
  echo "build $build FAILED:"; tail -n 40 build/fuzz-o1-configure.log build/fuzz-o1-build.log
  exit 1
fi

# The targets are the executables the fuzz build put in its fuzz/ folder.
bin=$build/fuzz
mapfile -t all < <(find "$bin" -maxdepth 1 -type f -executable -printf '%f\n' 2>/dev/null | sort)
if [ $# -gt 0 ]; then
  targets=()
  for name in "$@"; do
    if [ -x "$bin/$name" ]; then targets+=("$name")
    else echo "no fuzz target $name (there are: ${all[*]})" >&2; exit 2; fi
  done
else
  targets=("${all[@]}")
fi
[ ${#targets[@]} -gt 0 ] || { echo "the fuzz build made no targets" >&2; exit 1; }

logs=build/fuzz-logs
findings=build/fuzz-findings
mkdir -p "$logs"

# run_target NAME: one open-ended run of a target; its output goes to
# build/fuzz-logs/NAME.log. New inputs go to the first corpus directory only;
# the seeds kept in the tree are read, never written.
run_target() {
  local name=$1 corpus=build/fuzz-corpus/$1 opts dirs d
  mkdir -p "$corpus" "$findings/$name"
  # The time-out is wall-clock time: niced targets on a busy machine get a
  # fraction of a core, so it is generous (an input is reported as a hang
  # only when it takes a minute).
  opts=(-timeout=60 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$findings/$name/")
  if [ -n "$runs" ]; then opts+=(-runs="$runs"); else opts+=(-max_total_time="$time_limit"); fi
  [ -f "fuzz/$name.dict" ] && opts+=(-dict="fuzz/$name.dict")
  dirs=("$corpus")
  for d in "fuzz/corpus/$name" "$build/fuzz-seeds/$name"; do [ -d "$d" ] && dirs+=("$d"); done
  nice -n "$nice_level" "$bin/$name" "${opts[@]}" "${dirs[@]}" >"$logs/$name.log" 2>&1
  echo $? >"$logs/$name.status"
}

# report NAME: the target's figures and findings, read from its log.
report() {
  local name=$1 log=$logs/$1.log status units rate line cov ft corpus artifact artifacts
  if [ ! -f "$log" ]; then printf '%-22s not run\n' "$name"; return 1; fi
  status=$(cat "$logs/$name.status" 2>/dev/null)
  units=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -1)
  rate=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+).*/\1/p' "$log" | tail -1)
  line=$(grep -E '^#[0-9]+.* cov: [0-9]+' "$log" | tail -1)
  cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$line")
  ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$line")
  if [ -z "$units" ]; then units=$(sed -nE 's/^#([0-9]+).*/\1/p' <<<"$line"); fi
  corpus=$(find "build/fuzz-corpus/$name" -type f | wc -l)
  printf '%-22s %12s inputs %8s exec/s  cov %6s  ft %7s  corpus %6s\n' \
    "$name" "${units:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$corpus"
  mapfile -t artifacts < <(sed -nE 's/.*Test unit written to (.*)$/\1/p' "$log")
  for artifact in "${artifacts[@]}"; do
    echo "  FINDING $(grep -m1 -E 'check failed|^==[0-9]+== ?ERROR' "$log" | cut -c1-120)"
    echo "    reproducer: $artifact"
    echo "    reproduce:  $bin/$name $artifact"
    echo "    minimise:   $bin/$name -minimize_crash=1 -runs=200000 -exact_artifact_path=$artifact.min $artifact"
  done
  if [ ${#artifacts[@]} -eq 0 ] && [ "$status" != 0 ]; then
    echo "  FAILED (exit status ${status:-none}) without a reproducer: see $log"
  fi
  [ ${#artifacts[@]} -eq 0 ] && [ "$status" = 0 ]
}

if [ -n "$runs" ]; then what="$runs inputs"; else what="${time_limit}s"; fi
echo "== fuzz ${targets[*]} ($what each, $jobs at once, nice $nice_level)"
# Ctrl-C reaches the fuzzers too: each prints its final stats and ends; the
# summary is still printed.
interrupted=
trap 'interrupted=1; echo " (interrupted)"' INT
running=0
for name in "${targets[@]}"; do
  rm -f "$logs/$name.status" "$logs/$name.log"
  [ -n "$interrupted" ] && break
  run_target "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
done
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait; done

echo "== fuzz results (logs in $logs/, corpora in build/fuzz-corpus/)"
status=0
for name in "${targets[@]}"; do report "$name" || status=1; done
exit $status
}
