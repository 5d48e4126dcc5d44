#!/usr/bin/env bash
# Runs the benchmarks of a build; figures, not pass/fail.
# Google Benchmark's "Library was built as DEBUG" line is about Debian's libbenchmark itself, which is
# compiled without NDEBUG; the benchmarks and the code they measure are built -O2 -DNDEBUG (`make bench`
# uses the release preset).
set -euo pipefail
build_dir=${1:-build/release}
"$build_dir/bench/orsa_bench" --benchmark_counters_tabular=true "${@:2}"
if [ -x "$build_dir/bench/orsa_app_bench" ]; then
  "$build_dir/bench/orsa_app_bench" --benchmark_counters_tabular=true "${@:2}"
fi
