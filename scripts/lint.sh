#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) on every source file of the programs, with the compile
# commands of a build; any finding fails. Usage: scripts/lint.sh BUILD_DIR
set -euo pipefail
build_dir=${1:?usage: scripts/lint.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
[ -f "$build_dir/compile_commands.json" ] || { echo "lint: $build_dir has no compile_commands.json" >&2; exit 1; }
# GCC's warning options that clang does not know are not findings.
run-clang-tidy -p "$build_dir" -j "$(nproc)" -quiet -extra-arg=-Wno-unknown-warning-option \
  "$root/src/.*\.cpp\$" >"$build_dir/lint.log" 2>&1 || {
  grep -E '(warning|error): ' "$build_dir/lint.log" | sort -u >&2
  echo "lint: findings above (whole output in $build_dir/lint.log)" >&2
  exit 1
}
echo "lint: clean"
