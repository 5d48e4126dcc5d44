#!/usr/bin/env bash
# Runs a Windows program of the cross build under wine: `wine-run.sh PROGRAM.exe ARGS...`.
# The wine prefix lives in the build folder (WINEPREFIX may name another), so nothing is kept
# outside it; the first run creates it. Wine's own chatter is silenced.
set -euo pipefail

program=$1
shift
if [ -z "${WINEPREFIX:-}" ]; then
  # The build folder is the one holding CMakeCache.txt above the program.
  dir=$(cd "$(dirname "$program")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] || { echo "wine-run.sh: $program is not in a build folder" >&2; exit 2; }
  export WINEPREFIX="$dir/wineprefix"
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts. No display either, unless the caller hands one over in
# ORSA_WINE_DISPLAY (the window program's tests, under Xvfb).
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export DISPLAY=${ORSA_WINE_DISPLAY:-}

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
# Parallel test runs share the prefix: the first one creates it while the others wait. The mark is
# made once the new prefix runs a program of its own; system.reg alone appears while the prefix is
# still being made. Once (a fresh prefix on a busy machine) wine could not start its first program
# after wineboot returned: wineboot then completes the prefix (--update) and the check runs again.
ready="$WINEPREFIX/.orsa-prefix-ready"
if [ ! -f "$ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$ready" ]; then
      wait_server() { "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true; }
      "$wine" wineboot --init >/dev/null 2>&1
      wait_server
      if ! "$wine" cmd /c exit >/dev/null 2>&1; then
        "$wine" wineboot --update >/dev/null 2>&1 || true  # the check below judges
        wait_server
        "$wine" cmd /c exit >/dev/null 2>&1 || { echo "wine-run.sh: wine could not set up $WINEPREFIX" >&2; exit 1; }
      fi
      wait_server
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock" || exit 1
fi
exec "$wine" "$program" "$@"
