#!/usr/bin/env bash
# Installs the Debian packages the project needs. Quiet and quick when everything is there.
# Usage: install-deps.sh [windows] [windows-gui] [fuzz] — the Windows cross build (mingw-w64, wine),
# the Windows window program (those, Qt's source built by scripts/build-qt-mingw.sh, NSIS, zip) and
# the fuzzers (clang's libFuzzer) are extras that only their own make targets ask for.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config clang-format clang-tidy
  libcli11-dev nlohmann-json3-dev libudev-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev qt6-translations-l10n libgl-dev
  xvfb xauth fonts-liberation fonts-dejavu-core
  gpsd
  help2man lintian dpkg-dev file
  xdg-utils libfile-mimeinfo-perl desktop-file-utils shared-mime-info
)
for extra in "$@"; do
  case $extra in
    windows) packages+=(g++-mingw-w64-x86-64-posix wine64) ;;
    windows-gui) packages+=(g++-mingw-w64-x86-64-posix wine64 dpkg-dev nsis zip qt6-base-dev-tools) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "install-deps.sh: unknown group $extra" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
