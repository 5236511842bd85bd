#!/bin/bash
# Builds every build (native, native-asan, win64, win32, fuzz) and runs every
# test: the native tests plain and under AddressSanitizer/UBSan, the Windows
# tests under Wine, the checks of the release zip and installer that the
# win32 build packs (build/win32/package/), and each fuzzer for a fixed,
# bounded number of inputs. Ends with a line "N passed, N failed, N skipped,
# N flaky". A test that fails is run once more to tell a flaky test from a
# failing one; either is a failure of the run.
#   FUZZ_RUNS  inputs per fuzzer (default 100000)
cd "$(dirname "$0")"
./cmake/install-deps.sh || exit 1
JOBS=${JOBS:-$(nproc)}
FUZZ_RUNS=${FUZZ_RUNS:-100000}
passed=0
failed=0
skipped=0
flaky=0
log=build/test-logs
mkdir -p "$log"

# ctest_totals LOGFILE: "total failed skipped" of one ctest run, or nothing
# when the log has no summary.
ctest_totals() {
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  [ -n "$line" ] || return
  echo "$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')" \
       "$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/')" \
       "$(grep -cE '^[[:space:]]*[0-9]+ - .*\((Skipped|Disabled)\)$' "$1")"
}

# failed_names LOGFILE: the names ctest lists as failed, sorted.
failed_names() {
  sed -n '/The following tests FAILED:/,$p' "$1" |
    sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) .*/\1/p' | sort
}

# run_ctest PRESET [CTEST ARGS]: runs the tests of a build; a test that fails
# is run once more, and one that passes then is flaky. Adds to the totals.
run_ctest() {
  local dir="build/$1" out="$log/test-$1.log" totals total fails skips refails flaky_names
  ctest --test-dir "$dir" -j"$JOBS" --output-on-failure "${@:2}" >"$out" 2>&1
  totals=$(ctest_totals "$out")
  if [ -z "$totals" ]; then echo "ctest $1 gave no summary"; failed=$((failed + 1)); return; fi
  read -r total fails skips <<<"$totals"
  grep -E "tests passed|\*\*\*Failed|\*\*\*Timeout|Failed  |Exception" "$out" | tail -20
  refails=0
  if [ "$fails" -gt 0 ]; then
    ctest --test-dir "$dir" --rerun-failed --output-on-failure >"$out.rerun" 2>&1
    refails=$(ctest_totals "$out.rerun" | cut -d' ' -f2)
    refails=${refails:-$fails}
    if [ "$refails" -lt "$fails" ]; then
      flaky_names=$(comm -23 <(failed_names "$out") <(failed_names "$out.rerun"))
      echo "flaky in $1 (failed, then passed):"
      sed 's/^/  /' <<<"$flaky_names"
      # The first run's output of each, so that a flake seen once can be
      # understood from this log (the build tree may be gone by then).
      while read -r name; do
        awk -v n="$name" '$0 ~ "Test +#[0-9]+: " n " " {p = 1; c = 0}
          p && /^ *[0-9]+\/[0-9]+ Test +#/ && $0 !~ "Test +#[0-9]+: " n " " {p = 0}
          p && c++ < 120' "$out" | sed 's/^/    | /'
      done <<<"$flaky_names"
    fi
  fi
  passed=$((passed + total - fails - skips))
  skipped=$((skipped + skips))
  failed=$((failed + refails))
  flaky=$((flaky + fails - refails))
}

# The layering rule first: it needs no build and names the file and line.
echo "== layering"
if python3 tools/check_layers.py >"$log/layering.log" 2>&1; then
  passed=$((passed + 1))
else
  cat "$log/layering.log"; failed=$((failed + 1))
fi

# The tree's format (.clang-format): a file that differs is named.
echo "== format"
if git ls-files '*.cc' '*.h' | xargs clang-format --dry-run --Werror >"$log/format.log" 2>&1; then
  passed=$((passed + 1))
else
  grep -E '^[^ ].*(error|warning):' "$log/format.log" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
  failed=$((failed + 1))
fi

for preset in native native-asan win64 win32 fuzz; do
  echo "== build $preset"
  if ! { cmake --preset "$preset" >"$log/configure-$preset.log" 2>&1 &&
         cmake --build "build/$preset" -j"$JOBS" >"$log/build-$preset.log" 2>&1; }; then
    echo "build $preset FAILED:"; tail -n 40 "$log/configure-$preset.log" "$log/build-$preset.log"
    failed=$((failed + 1))
    continue
  fi
  if grep -q "warning:" "$log/build-$preset.log"; then
    echo "build $preset has warnings:"; grep -A3 "warning:" "$log/build-$preset.log" | head -40
    failed=$((failed + 1))
  fi
  case "$preset" in
    native|native-asan|win64)
      echo "== test $preset"
      run_ctest "$preset"
      ;;
    win32)
      # Its programs cannot run here; its release artefacts are checked.
      echo "== test win32 (release zip and installer in build/win32/package/)"
      run_ctest win32 -L package
      ;;
    fuzz)
      for f in $(find build/fuzz/fuzz -maxdepth 1 -type f -executable 2>/dev/null | sort); do
        name=$(basename "$f")
        # A fixed seed and run count (no time cap) from the seed inputs,
        # read only (new inputs go to a scratch corpus first in the list):
        # those kept in the tree (fuzz/corpus/<name>) and those the build makes
        # (compiled resources, build/fuzz/fuzz-seeds/<name>), with the target's
        # dictionary when it has one and a time-out per input: the same inputs
        # on every machine, so a red result always reproduces. A target whose
        # inputs cost more runs fewer of them (fuzz/<name>.runs). Longer,
        # open-ended fuzzing is done by hand (see the README).
        corpus=$(mktemp -d)
        runs=$FUZZ_RUNS; [ -f "fuzz/$name.runs" ] && runs=$(( $(cat "fuzz/$name.runs") < FUZZ_RUNS ? $(cat "fuzz/$name.runs") : FUZZ_RUNS ))
        opts=(-seed=1 -runs="$runs" -timeout=10 -rss_limit_mb=2048)
        [ -f "fuzz/$name.dict" ] && opts+=(-dict="fuzz/$name.dict")
        dirs=("$corpus")
        for d in "fuzz/corpus/$name" "build/fuzz/fuzz-seeds/$name"; do [ -d "$d" ] && dirs+=("$d"); done
        echo "== fuzz $name (seed 1, $runs runs)"
        if "$f" "${opts[@]}" "${dirs[@]}" >"$log/$name.log" 2>&1; then
          passed=$((passed + 1))
        else
          echo "fuzzer $name FAILED:"; tail -n 30 "$log/$name.log"; failed=$((failed + 1))
        fi
      done
      ;;
  esac
done
echo "$passed passed, $((failed + flaky)) failed, $skipped skipped, $flaky flaky"
[ "$failed" -eq 0 ] && [ "$flaky" -eq 0 ]
