#!/bin/bash
# Runs every benchmark (native, optimised build); each compares the runtime
# with a peer in the same run.
cd "$(dirname "$0")"
./cmake/install-deps.sh || exit 1
cmake --preset native >/dev/null && cmake --build build/native -j"$(nproc)" >/dev/null || exit 1
status=0
for b in $(find build/native/bench -maxdepth 1 -type f -executable 2>/dev/null | sort); do
  echo "== $(basename "$b")"
  "$b" "$@" || status=1
done
exit $status
