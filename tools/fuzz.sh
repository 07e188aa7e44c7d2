#!/usr/bin/env bash
# Runs every fuzzer for a bounded time: FUZZ_SECONDS each (default 60), as
# many at once as there are cores, so that another fuzzer costs no wall time
# until there are more fuzzers than cores.
# The committed seed corpus is copied, so a run never changes the repository;
# a finding leaves its input in build/fuzz/ and fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=${FUZZ_SECONDS:-60}

cmake -S "$root" -B "$build" -DZIMBEL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

# One fuzzer; prints its line and fails on a finding.
fuzz() {
  local name=$1 work="$build/corpus-$1" log="$build/fuzz_$1.log"
  mkdir -p "$work"
  cp -n "$root/tests/fuzz/corpus/$name/"* "$work"/ 2>/dev/null || true
  if ! (cd "$build" && "./tests/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        -timeout=10 -rss_limit_mb=2048 "$work" >"$log" 2>&1); then
    tail -40 "$log"
    echo "fuzz_$name: FAILED (input saved in $build)"
    return 1
  fi
  echo "fuzz_$name: $(awk '/stat::number_of_executed_units/ {print $2}' "$log") executions in ${seconds} s, no finding"
}

status=0
running=0
for corpus in "$root"/tests/fuzz/corpus/*/; do
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
  fuzz "$(basename "$corpus")" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit "$status"
