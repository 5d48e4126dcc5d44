#!/usr/bin/env bash
# One wine server for a whole test run: `wine-server.sh start|stop WINEPREFIX`. Without it every
# test's wine starts a server of its own, which lingers and exits a moment after the test; a test
# starting just then can lose the race with the exiting server and fail before its first line. A
# server started by a test would also print its object dump into that test's output.
set -euo pipefail

export WINEPREFIX=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
run_wine="$here/../../scripts/wine-run.sh"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo "$(dirname "$wine")/wineserver")

case $1 in
  start)
    "$run_wine" cmd /c exit  # creates the prefix on the first run
    "$wineserver" -k 2>/dev/null || true  # the server of that run (or of the test listing) goes now
    "$wineserver" -w
    # Persistent until stopped, and detached from this script's output so the test ends at once.
    "$wineserver" -p </dev/null >/dev/null 2>&1
    # Served by it. Wine's own processes start with this first program and live as long as the
    # server, so they must not hold on to this script's output either.
    "$run_wine" cmd /c exit </dev/null >/dev/null 2>&1
    ;;
  stop)
    "$wineserver" -k 2>/dev/null || true
    ;;
  *)
    echo "usage: wine-server.sh start|stop WINEPREFIX" >&2
    exit 2
    ;;
esac
