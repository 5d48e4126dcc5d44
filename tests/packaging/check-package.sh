#!/usr/bin/env bash
# Makes the Debian package of a build folder with CPack and checks what a user would install: the
# three programs, the desktop entry and icon, the udev rule, the manual pages, the computed
# dependencies, and no lintian errors (warnings are shown, not fatal).
# Usage: check-package.sh BUILD_DIR VERSION
set -euo pipefail
build_dir=${1:?usage: check-package.sh BUILD_DIR VERSION}
version=${2:?usage: check-package.sh BUILD_DIR VERSION}

cd "$build_dir"
rm -f package/orsa-configurator_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb=$(ls package/orsa-configurator_"$version"_*.deb)
echo "package: $build_dir/$deb"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
missing=0
for path in \
  ./usr/bin/orsa-configurator ./usr/bin/orsactl ./usr/bin/orsa-beacon-sim \
  ./usr/share/applications/orsa-configurator.desktop \
  ./usr/share/icons/hicolor/scalable/apps/orsa-configurator.svg \
  ./usr/lib/udev/rules.d/99-orsa-beacon.rules \
  ./usr/share/man/man1/orsa-configurator.1.gz ./usr/share/man/man1/orsactl.1.gz \
  ./usr/share/man/man1/orsa-beacon-sim.1.gz \
  ./usr/share/doc/orsa-configurator/copyright ./usr/share/doc/orsa-configurator/changelog.gz; do
  if ! grep -qxF "$path" <<<"$contents"; then
    echo "missing from the package: $path"
    missing=1
  fi
done

# shlibdeps found the Qt and C++ libraries the programs link to; the SVG plugins are named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6widgets6 libqt6svg6; do
  if ! grep -q "$library" <<<"$depends"; then
    echo "the package does not depend on $library"
    missing=1
  fi
done
[ "$missing" = 0 ] || exit 1

lintian_args=(--fail-on error --tag-display-limit 0)
[ "$(id -u)" = 0 ] && lintian_args+=(--allow-root)
lintian "${lintian_args[@]}" "$deb"
echo "lintian: no errors"
