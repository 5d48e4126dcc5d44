#!/usr/bin/env bash
# Renders every section of the main window (after a read of the simulated
# beacon) and the progress window from a real X window (Xvfb) into
# docs/screenshots/.  Usage: scripts/screenshots.sh BUILD_DIR
set -euo pipefail

build_dir=${1:?usage: scripts/screenshots.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
program="$build_dir/src/app/orsa-configurator"
out="$root/docs/screenshots"

if [ ! -x "$program" ]; then
  echo "screenshots: $program not built" >&2
  exit 1
fi
command -v xvfb-run >/dev/null || { echo "screenshots: xvfb-run missing (scripts/install-deps.sh)" >&2; exit 1; }

mkdir -p "$out"
# A time-out keeps a broken display from hanging the build.
QT_QPA_PLATFORM=xcb timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" \
  "$program" --demo --screenshot-dir "$out"
ls -1 "$out"/*.png
