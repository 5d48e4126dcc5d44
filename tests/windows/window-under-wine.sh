#!/usr/bin/env bash
# orsa-configurator.exe from the assembled folder under wine, on a display of its own: the window
# comes up at its 748 × 576, reads the Linux build's simulated beacon through COM5 (the automatic
# choice, as orsactl-under-wine.sh sets it up) and renders its pages. The read is judged by the
# session record: the owner's phone number written into the beacon beforehand comes back in its replies.
# Then the same with --demo, whose beacon lives in the program on a named pipe.
# Usage: window-under-wine.sh DIST NATIVE_BUILD_DIR WINEPREFIX [PICTURES_DIR]
# PICTURES_DIR keeps the rendered pages (make windows-screenshots takes one for docs/screenshots).
set -euo pipefail

dist=$(realpath "$1")
native=$(realpath "$2")
export WINEPREFIX=$(realpath -m "$3")
keep=${4:+$(realpath -m "$4")}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/on-wine-display.sh"
run_wine="$here/../../scripts/wine-run.sh"
sim="$native/src/sim/orsa-beacon-sim"
ctl="$native/src/cli/orsactl"
for tool in "$sim" "$ctl" "$dist/orsa-configurator.exe"; do
  [ -e "$tool" ] || { echo "missing $tool: make build and make windows-gui first" >&2; exit 1; }
done

work=$(mktemp -d)
sim_pid=
cleanup() {
  end_wine
  [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/com5"
  [ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

"$sim" --link "$work/beacon" >"$work/beacon.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do [ -e "$work/beacon" ] && break; sleep 0.1; done
[ -e "$work/beacon" ] || { cat "$work/beacon.log" >&2; fail "the simulated beacon did not start"; }
phone=+79161234567
"$ctl" --port "$work/beacon" write --defaults --set "OwnerPhone=$phone" --yes >/dev/null ||
  fail "orsactl could not prepare the simulated beacon"

"$run_wine" cmd /c exit  # makes the prefix on its first run
ln -sfn "$work/beacon" "$WINEPREFIX/dosdevices/com5"
"$run_wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\USBSER000' /d COM5 /f >/dev/null

echo "== the window reads the beacon on COM5 and renders its pages"
# Wine's font rendering through GDI loses strokes of small text; FreeType draws it whole.
status=0
QT_QPA_PLATFORM=windows:fontengine=freetype timeout 300 "$run_wine" "$dist/orsa-configurator.exe" \
  --record "Z:$work/session.jsonl" --screenshot-dir "Z:$work/pages" >"$work/window.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$work/window.log" >&2; fail "orsa-configurator.exe exited $status"; }

picture=$work/pages/form1-section1.png
[ -f "$picture" ] || fail "no picture of the main window in $work/pages"
file "$picture" | grep -q 'PNG image data, 748 x 576,' || fail "the main window is not 748 x 576: $(file -b "$picture")"

# The replies' bytes in order, so a number split between two reads of the port is still whole.
received=$(sed -n 's/.*"received":"\([0-9a-f]*\)".*/\1/p' "$work/session.jsonl" | tr -d '\n')
[ -n "$received" ] || fail "the session record shows no reply from the beacon"
phone_hex=$(printf '%s' "$phone" | od -An -tx1 | tr -d ' \n')
[[ $received == *"$phone_hex"* ]] || fail "the beacon's replies in the record do not carry the phone number $phone"

echo "== --demo: the simulated beacon inside the program, on a named pipe"
status=0
QT_QPA_PLATFORM=windows:fontengine=freetype timeout 300 "$run_wine" "$dist/orsa-configurator.exe" --demo \
  --record "Z:$work/demo.jsonl" --screenshot-dir "Z:$work/demo-pages" >"$work/demo.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$work/demo.log" >&2; fail "orsa-configurator.exe --demo exited $status"; }
received=$(sed -n 's/.*"received":"\([0-9a-f]*\)".*/\1/p' "$work/demo.jsonl" | tr -d '\n')
demo_phone_hex=$(printf '%s' +79991234567 | od -An -tx1 | tr -d ' \n')
[[ $received == *"$demo_phone_hex"* ]] || fail "the window did not read the demo beacon's phone number"

if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$work"/pages/*.png "$keep"/
fi
echo "the window came up at 748 x 576 and read the beacon's settings through COM5"
