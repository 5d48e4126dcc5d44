#!/usr/bin/env bash
# The configurator against a simulated beacon inside the program. Without a
# display the command-line demonstration runs instead.
# Usage: scripts/demo.sh BUILD_DIR
set -euo pipefail

build_dir=${1:-build/default}
here=$(cd "$(dirname "$0")" && pwd)
program="$build_dir/src/app/orsa-configurator"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the command-line demo instead."
  exec "$here/demo-cli.sh" "$build_dir"
fi

if [ ! -x "$program" ]; then
  echo "demo: $program not built (build with ORSA_BUILD_GUI=ON)" >&2
  exit 1
fi
echo "Starting the configurator with a simulated beacon; press \"Прочитать настройки из устройства\" to begin."
exec "$program" --demo
