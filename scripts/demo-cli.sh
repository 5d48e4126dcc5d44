#!/usr/bin/env bash
# The command-line demonstration: a simulated beacon in its own process, and orsactl talking to
# it over a pseudo-terminal exactly as it would over /dev/ttyACM0.
set -euo pipefail
build_dir=${1:-build/default}
sim="$build_dir/src/sim/orsa-beacon-sim"
ctl="$build_dir/src/cli/orsactl"

workdir=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$workdir"
}
trap cleanup EXIT

coproc SIM { exec "$sim"; }
sim_pid=$SIM_PID
if ! read -r -t 5 port <&"${SIM[0]}"; then
  echo "the simulated beacon did not start" >&2
  exit 1
fi

step() {
  echo
  echo "\$ orsactl --port $port $*"
  "$ctl" --port "$port" "$@"
}

echo "Simulated ОРСА beacon on $port (a pseudo-terminal; no real beacon is involved)."
step raw 1 0x080807E0 --expect 32
if "$ctl" --help | grep -q '^  read '; then
  step read
  step write --defaults --set OwnerPhone=+79161234567 --yes
  step read --json
  step read --save "$workdir/beacon.cfg"
  step show "$workdir/beacon.cfg"
  step write --set TimeZone=+5 --dry-run --yes
  step write --set TimeZone=+5 --verify --yes
  # Status 1: the beacon and the file now differ in one slot.
  step diff beacon "$workdir/beacon.cfg" || true
fi
head -c 4111 /dev/urandom > "$workdir/demo.fmw"
step firmware "$workdir/demo.fmw"
echo
echo "Demo finished."
