#!/usr/bin/env bash
# Runs the benchmarks of a build; figures, not pass/fail.
set -euo pipefail
build_dir=${1:-build/default}
"$build_dir/bench/orsa_bench" --benchmark_counters_tabular=true "${@:2}"
