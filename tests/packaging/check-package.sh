#!/usr/bin/env bash
# Makes the Debian package of a build folder with CPack and checks what a user would install: the
# three programs, the desktop entry and icon, the settings file's MIME type and that a settings file
# opens with the window, the udev rule, the manual pages, the computed dependencies, and no lintian
# errors (warnings are shown, not fatal).
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
  ./usr/share/mime/packages/orsa-configurator.xml \
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

# orsactl's page has its examples and every command's own options.
page=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man1/orsactl.1.gz | gzip -dc)
for wanted in '^\.SH EXAMPLES' '^\.SH COMMANDS' '^\.SS write$' '^\.SS diff$' 'dry\\-run' 'backup'; do
  if ! grep -q -- "$wanted" <<<"$page"; then
    echo "orsactl's manual page lacks $wanted"
    missing=1
  fi
done
[ "$missing" = 0 ] || exit 1

# The package unpacked into a folder of its own, its MIME and desktop caches built there as dpkg's
# triggers build them on a system, and asked as a desktop asks: what a file is and what opens it.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
update-mime-database "$root/usr/share/mime"
update-desktop-database "$root/usr/share/applications"
mkdir -p "$root/home"
ask() {
  env -i PATH=/usr/bin:/bin HOME="$root/home" XDG_DATA_HOME="$root/home/data" \
    XDG_DATA_DIRS="$root/usr/share:/usr/share" xdg-mime query "$@"
}
# 118 bytes as the window saves them: three bytes 1, the owner's phone, zeros.
{ printf '\001\001\001+79161234567'; head -c 103 /dev/zero; } >"$root/home/beacon.cfg"
printf 'set timeout=5\n' >"$root/home/grub.cfg"
head -c 117 "$root/home/beacon.cfg" >"$root/home/cut.cfg"
type=$(ask filetype "$root/home/beacon.cfg")
echo "a settings file is: $type"
[ "$type" = application/x-orsa-settings ] || missing=1
for other in grub.cfg cut.cfg; do
  other_type=$(ask filetype "$root/home/$other")
  echo "$other is: $other_type"
  [ "$other_type" != application/x-orsa-settings ] || missing=1
done
opener=$(ask default application/x-orsa-settings)
echo "opened with: $opener"
[ "$opener" = orsa-configurator.desktop ] || missing=1
grep -qx 'Exec=orsa-configurator %f' "$root/usr/share/applications/orsa-configurator.desktop" || missing=1
[ "$missing" = 0 ] || exit 1

lintian_args=(--fail-on error --tag-display-limit 0)
[ "$(id -u)" = 0 ] && lintian_args+=(--allow-root)
lintian "${lintian_args[@]}" "$deb"
echo "lintian: no errors"
