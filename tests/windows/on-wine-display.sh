# Sourced by the window program's tests under wine: reruns the test inside a display of its own
# (Xvfb), and gives it a wine server of its own in WINEPREFIX that ends with the test, so the wine
# desktop is made on that display and nothing of it outlives the test.
# The caller sets WINEPREFIX and then sources this file with its own arguments.
if [ -z "${ORSA_WINE_DISPLAY:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: scripts/install-deps.sh" >&2; exit 1; }
  ORSA_WINE_DISPLAY=pending exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
export ORSA_WINE_DISPLAY=$DISPLAY
wine_bin=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver_bin=$(command -v wineserver || echo "$(dirname "$wine_bin")/wineserver")
"$wineserver_bin" -k 2>/dev/null || true
"$wineserver_bin" -w
end_wine() {
  "$wineserver_bin" -k 2>/dev/null || true
  "$wineserver_bin" -w 2>/dev/null || true
}
