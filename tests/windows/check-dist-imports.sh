#!/usr/bin/env bash
# The folder make windows-gui assembles holds every DLL its programs and plugins import, but for
# Windows' own: a DLL that is neither there nor a system one stops the program on a user's machine
# before its window, and wine, which finds the build machine's mingw-w64 DLLs, would not notice.
# Windows' own are the DLLs wine provides and the API sets (api-ms-win-*, ext-ms-win-*).
# Usage: check-dist-imports.sh DIST
set -euo pipefail

dist=$(realpath "$1")
objdump=x86_64-w64-mingw32-objdump
system_dlls=$(ls /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/ 2>/dev/null | grep -i '\.dll$' | tr 'A-Z' 'a-z')
[ -n "$system_dlls" ] || { echo "no wine DLL list in /usr/lib/x86_64-linux-gnu/wine/x86_64-windows: install wine64" >&2; exit 1; }
shipped=$(find "$dist" -iname '*.dll' -printf '%f\n' | tr 'A-Z' 'a-z')

binaries=$(find "$dist" -iname '*.exe' -o -iname '*.dll')
[ -n "$binaries" ] || { echo "FAILED: no programs in $dist" >&2; exit 1; }
failed=0
while IFS= read -r binary; do
  imports=$("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
  for dll in $imports; do
    case $dll in api-ms-win-* | ext-ms-win-*) continue ;; esac
    grep -qxF "$dll" <<<"$shipped" && continue
    grep -qxF "$dll" <<<"$system_dlls" && continue
    echo "FAILED: ${binary#"$dist"/} imports $dll, which is neither in the folder nor part of Windows" >&2
    failed=1
  done
done <<<"$binaries"
[ "$failed" -eq 0 ] || exit 1
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll translations/qtbase_ru.qm qt.conf; do
  [ -f "$dist/$plugin" ] || { echo "FAILED: $plugin is missing in $dist" >&2; exit 1; }
done
echo "every DLL the $(wc -l <<<"$binaries") programs and libraries import is in the folder or part of Windows"
