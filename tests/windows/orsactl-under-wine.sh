#!/usr/bin/env bash
# orsactl.exe under wine against the Linux build's simulated beacon: the beacon's pseudo-terminal
# becomes COM5 through a link in the wine prefix's dosdevices, so every byte passes the Win32
# backend, and a USBSER entry in the registry's serial map makes it the automatic choice. Reads,
# writes and updates the firmware (from a file with a Cyrillic name), and checks that the frames sent are the Linux build's, byte for byte.
# Usage: orsactl-under-wine.sh ORSACTL.EXE NATIVE_BUILD_DIR WINEPREFIX. Run by ctest, whose
# wine server (wine-server.sh) keeps its own output out of the traces compared below.
set -euo pipefail

exe=$1
native=$2
export WINEPREFIX=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
run_wine="$here/../../scripts/wine-run.sh"
sim="$native/src/sim/orsa-beacon-sim"
ctl="$native/src/cli/orsactl"
for tool in "$sim" "$ctl"; do
  [ -x "$tool" ] || { echo "missing $tool: build the Linux tools first (make build)" >&2; exit 1; }
done

work=$(mktemp -d)
sims=()
cleanup() {
  for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/com5"
  [ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT

# Starts a fresh simulated beacon whose port is linked at $work/$1.
start_beacon() {
  rm -f "$work/$1"
  "$sim" --link "$work/$1" >"$work/$1.log" 2>&1 &
  sims+=($!)
  for _ in $(seq 50); do [ -e "$work/$1" ] && return 0; sleep 0.1; done
  echo "the simulated beacon did not start" >&2
  cat "$work/$1.log" >&2
  exit 1
}

windows() { "$run_wine" "$exe" --port COM5 "$@" | tr -d '\r'; }
linux() { "$ctl" --port "$work/$1" "${@:2}"; }
sent_frames() { tr -d '\r' <"$1" | grep '^-> ' || true; }
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

start_beacon win
ln -sfn "$work/win" "$WINEPREFIX/dosdevices/com5"
start_beacon linux

echo "== the automatic choice: the registry's USBSER entry names COM5"
"$run_wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\USBSER000' /d COM5 /f >/dev/null
"$run_wine" "$exe" ports | tr -d '\r' | grep -qx '\* COM5' || fail "orsactl.exe ports does not mark COM5 as the choice"

echo "== read"
"$run_wine" "$exe" --trace read --json 2>"$work/read-win.trace" | tr -d '\r' >"$work/read-win.json" ||
  fail "orsactl.exe read exited $?; its last frames and the beacon's log:
$(tr -d '\r' <"$work/read-win.trace" | tail -n 12)
$(tail -n 12 "$work/win.log")"
linux linux read --json >"$work/read-linux.json"
diff -u "$work/read-linux.json" "$work/read-win.json" || fail "the settings read through COM5 differ"

echo "== write"
change=(write --defaults --set OwnerPhone=+79161234567 --yes)
windows --trace "${change[@]}" >/dev/null 2>"$work/write-win.trace" || fail "orsactl.exe write exited $?"
linux linux --trace "${change[@]}" >/dev/null 2>"$work/write-linux.trace"
diff -u <(sent_frames "$work/write-linux.trace") <(sent_frames "$work/write-win.trace") ||
  fail "the write sent other frames than the Linux build"
[ -n "$(sent_frames "$work/write-win.trace")" ] || fail "the write trace shows no frame"
linux win read --json | grep -q '+79161234567' || fail "the beacon did not keep the written phone number"

echo "== firmware, from a file with a Cyrillic name"
image="$work/прошивка.fmw"
head -c 4111 /dev/urandom >"$image"
windows --trace firmware "Z:$image" >"$work/firmware-win.out" 2>"$work/firmware-win.trace" ||
  fail "orsactl.exe firmware exited $?: $(tail -3 "$work/firmware-win.trace")"
linux linux --trace firmware "$image" >/dev/null 2>"$work/firmware-linux.trace"
diff -u <(sent_frames "$work/firmware-linux.trace") <(sent_frames "$work/firmware-win.trace") >/dev/null ||
  fail "the firmware update sent other frames than the Linux build"
echo "read, write and firmware through COM5 match the Linux build"
