#!/bin/bash
# Builds every build (native, native-asan, win64, win32, fuzz) and runs every
# test: the native tests plain and under AddressSanitizer/UBSan, the Windows
# tests under Wine, and each fuzzer for a fixed, bounded number of inputs. Ends with a
# line "N passed, N failed".
#   FUZZ_RUNS  inputs per fuzzer (default 100000)
cd "$(dirname "$0")"
./cmake/install-deps.sh || exit 1
JOBS=${JOBS:-$(nproc)}
FUZZ_RUNS=${FUZZ_RUNS:-100000}
passed=0
failed=0
log=build/test-logs
mkdir -p "$log"

count_ctest() {  # count_ctest LOGFILE: adds the ctest totals
  local line total fails
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  fails=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
  passed=$((passed + total - fails))
  failed=$((failed + fails))
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
    echo "build $preset FAILED:"; tail -40 "$log/configure-$preset.log" "$log/build-$preset.log"
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
      # Under Wine a test that starts other processes may lose a race with a
      # loaded machine's scheduler; it gets one more try, and the log keeps both.
      repeat=(); [ "$preset" = win64 ] && repeat=(--repeat until-pass:2)
      ctest --test-dir "build/$preset" -j"$JOBS" --output-on-failure "${repeat[@]}" \
        >"$log/test-$preset.log" 2>&1
      grep -E "tests passed|\*\*\*Failed|\*\*\*Timeout|Failed  |Exception" "$log/test-$preset.log" | tail -20
      count_ctest "$log/test-$preset.log"
      ;;
    fuzz)
      for f in $(find build/fuzz/fuzz -maxdepth 1 -type f -executable 2>/dev/null | sort); do
        name=$(basename "$f")
        # A fixed seed and run count from the same corpus: the same inputs on
        # every run, so a red result always reproduces. Longer, open-ended
        # fuzzing is done by hand (see the README).
        corpus=$(mktemp -d)
        # A target with committed seeds (small valid inputs) starts from them.
        [ -d "fuzz/corpus/$name" ] && cp fuzz/corpus/"$name"/* "$corpus"/
        echo "== fuzz $name (seed 1, $FUZZ_RUNS runs)"
        if "$f" -seed=1 -runs="$FUZZ_RUNS" -max_total_time=120 -rss_limit_mb=2048 "$corpus" \
            >"$log/$name.log" 2>&1; then
          passed=$((passed + 1))
        else
          echo "fuzzer $name FAILED:"; tail -30 "$log/$name.log"; failed=$((failed + 1))
        fi
      done
      ;;
  esac
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
