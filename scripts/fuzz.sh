#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ORSA_FUZZ=ON) in build/fuzz and runs each for SECONDS (default 60),
# starting from a scratch copy of its seeds in fuzz/corpus/<name>/ so the checked-in seeds stay as they are.
# Stops at the first crash, hang (over 2 s on one input), leak or sanitizer report, naming the input that did it.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
runs=$build/runs

log=$build/build.log
mkdir -p "$build"
if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DORSA_FUZZ=ON -DORSA_WERROR=ON \
         -DORSA_BUILD_GUI=OFF -DORSA_BUILD_BENCH=OFF -DBUILD_TESTING=OFF &&
       cmake --build "$build" --target fuzzers -j2; } >"$log" 2>&1; then
  cat "$log"
  echo "fuzz: the build failed" >&2
  exit 1
fi

export UBSAN_OPTIONS=print_stacktrace=1
for seeds in "$root"/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  target=$build/fuzz/fuzz_$name
  scratch=$runs/$name
  rm -rf "$scratch"
  mkdir -p "$scratch/corpus" "$scratch/findings"
  cp "$seeds"* "$scratch/corpus/"
  if ! "$target" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$scratch/findings/" "$scratch/corpus" >"$scratch/log" 2>&1; then
    tail -n 40 "$scratch/log"
    echo
    input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$scratch/log" | tail -n 1)
    echo "FAIL $name: ${input:-no input written} (log: $scratch/log)" >&2
    exit 1
  fi
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/log")
  coverage=$(grep -o 'cov: [0-9]*' "$scratch/log" | tail -n 1)
  printf 'ok   %-14s %9s inputs in %ss, %s, corpus %s files\n' "$name" "$executed" "$seconds" "$coverage" \
    "$(find "$scratch/corpus" -type f | wc -l)"
done
