#!/usr/bin/env bash
# Runs the benchmarks of a build; figures, not pass/fail.
set -euo pipefail
build_dir=${1:-build/default}
"$build_dir/bench/orsa_bench" --benchmark_counters_tabular=true "${@:2}"
if [ -x "$build_dir/bench/orsa_app_bench" ]; then
  "$build_dir/bench/orsa_app_bench" --benchmark_counters_tabular=true "${@:2}"
fi
