#!/usr/bin/env bash
# The Windows packages of the window program from the folder make windows-gui assembled: a portable
# .zip of it and the NSIS installer (packaging/windows/installer.nsi).
# Usage: windows-package.sh BUILD_DIR   (build/windows-gui; the packages land in it)
set -euo pipefail

build=$(realpath "${1:?usage: windows-package.sh BUILD_DIR}")
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$build/dist
[ -f "$dist/orsa-configurator.exe" ] || { echo "windows-package.sh: $dist has no orsa-configurator.exe: run make windows-gui" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "windows-package.sh: no project version in $build/CMakeCache.txt" >&2; exit 1; }
name=orsa-configurator-$version

# The zip unpacks into a folder of its own name.
zip=$build/$name-windows-x64.zip
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cp -r "$dist" "$staging/$name"
rm -f "$zip.part"
(cd "$staging" && zip -q -r -X "$zip.part" "$name")
mv "$zip.part" "$zip"

# The installer shows the program's licence and Qt's notice before it installs; a UTF-8 text needs
# its byte-order mark there.
licence=$staging/licence.txt
{ printf '\xef\xbb\xbf'; cat "$dist/LICENSE.txt"; printf '\n\n'; cat "$dist/licences/QT-NOTICE.txt"; } >"$licence"
setup=$build/$name-setup.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DDIST="$dist" -DLICENCE="$licence" -DOUTFILE="$setup.part" \
  "$root/packaging/windows/installer.nsi" >"$build/makensis.log" 2>&1 ||
  { cat "$build/makensis.log" >&2; echo "windows-package.sh: makensis failed" >&2; exit 1; }
mv "$setup.part" "$setup"
echo "$zip"
echo "$setup"
