#!/usr/bin/env bash
# Runs every fuzzer for a bounded time: FUZZ_SECONDS each (default 60).
# The committed seed corpus is copied, so a run never changes the repository;
# a finding leaves its input in build/fuzz/ and fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=${FUZZ_SECONDS:-60}

cmake -S "$root" -B "$build" -DZIMBEL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

for corpus in "$root"/tests/fuzz/corpus/*/; do
  name=$(basename "$corpus")
  work="$build/corpus-$name"
  mkdir -p "$work"
  cp -n "$corpus"* "$work"/ 2>/dev/null || true
  log="$build/fuzz_$name.log"
  if ! (cd "$build" && "./tests/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        -timeout=10 -rss_limit_mb=2048 "$work" >"$log" 2>&1); then
    tail -40 "$log"
    echo "fuzz_$name: FAILED (input saved in $build)"
    exit 1
  fi
  runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  echo "fuzz_$name: $runs executions in ${seconds} s, no finding"
done
