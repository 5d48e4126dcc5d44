#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (Core, Gui, Widgets, the windows platform plugin and the vista style)
# from Debian's own qt6-base source, with Debian's mingw-w64 and the host's Qt tools, once per
# qt6-base version and set of options, into a cache outside the source tree:
#   ${XDG_CACHE_HOME:-~/.cache}/orsa-configurator/qt6-mingw-<version>-<options hash>/
# The build happens beside it in <that folder>.partial and is moved into place only when installed, so
# an interrupted build never looks finished (a later run carries it on where it stopped).
# It runs in the idle scheduling class: other work on the machine goes first.
# Usage: build-qt-mingw.sh            build if needed, then print the Qt folder
#        build-qt-mingw.sh --prefix   print the Qt folder only (whether built or not)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
toolchain=$(cd "$here/../cmake" && pwd)/mingw-w64-shared.cmake
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)
[ -n "$version" ] || { echo "build-qt-mingw.sh: qt6-base-dev-tools is not installed: run scripts/install-deps.sh windows-gui" >&2; exit 2; }

# What the window program needs of Qt: Core, Gui, Widgets, the windows platform plugin and the vista
# style, built for size. The modules, features and image formats it never uses stay out, so there is
# less to build (Qt 6.4 does not build without QGraphicsView, and its windows plugin needs XPM).
# DirectWrite 3's font database is built into Qt Gui only together with Direct2D (Qt 6.4), but the
# windows plugin asks for it whenever the feature is on: off, the plugin uses GDI's.
qt_options=(
  -xplatform win32-g++ -qt-host-path /usr -release -shared -optimize-size
  -nomake examples -nomake tests
  -qt-zlib -qt-libpng -qt-harfbuzz -qt-freetype -qt-pcre -qt-doubleconversion
  -no-opengl -no-dbus -no-icu -no-zstd -no-direct2d -no-feature-directwrite3
  -no-feature-vulkan -no-feature-network -no-feature-sql -no-feature-printsupport
  -no-feature-testlib -no-feature-concurrent -no-feature-xml -no-feature-tabletevent
  -no-feature-jpeg -no-feature-gif -no-feature-ico -no-feature-movie -no-feature-imageformat_ppm
  -no-feature-imageformat_xbm -no-feature-pdf -no-feature-textodfwriter
  -no-feature-textmarkdownreader -no-feature-textmarkdownwriter -no-feature-sessionmanager
  -no-feature-undocommand -no-feature-undostack -no-feature-undogroup -no-feature-undoview
  -no-feature-mdiarea -no-feature-calendarwidget -no-feature-datetimeedit
  -no-feature-colordialog -no-feature-fontdialog -no-feature-wizard -no-feature-splashscreen
  -no-feature-keysequenceedit -no-feature-lcdnumber -no-feature-dial -no-feature-syntaxhighlighter
  -no-feature-jalalicalendar -no-feature-islamiccivilcalendar -no-feature-sharedmemory
  -no-feature-systemsemaphore
)
# The cache is keyed by the qt6-base version and by how Qt is built (the options above and the
# compilers' settings), so a change of either builds Qt anew beside the old one.
build_key=$(printf '%s\n' "${qt_options[@]}" | cat - "$toolchain" | sha256sum | cut -c1-8)
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/orsa-configurator
prefix=$cache_root/qt6-mingw-$version-$build_key
if [ "${1:-}" = --prefix ]; then
  echo "$prefix"
  exit 0
fi
if [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  echo "$prefix"
  exit 0
fi

work=$prefix.partial
log=$work/build.log
mkdir -p "$work"
# Two runs at once would build into the same folder.
exec 9>"$work.lock"
flock -n 9 || { echo "build-qt-mingw.sh: another build of Qt for Windows is running ($log)" >&2; exit 1; }
say() { echo "build-qt-mingw.sh: $*" >&2; }

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# apt-get source needs a deb-src entry. The one added names the same archive and suites the
# machine already installs its Debian packages from.
ensure_deb_src() {
  if apt-get source --print-uris -qq "qt6-base=$version" >/dev/null 2>&1; then return; fi
  local codename entries
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  entries=$(
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v c="$codename" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ "^" c) { sub(/^deb/, "deb-src"); print; next } }' "$f"
    done
  )
  if [ -n "$entries" ]; then
    echo "$entries" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/orsa-deb-src.list >/dev/null
  else
    # deb822 files: each stanza of the Debian release, with its type turned into deb-src.
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v RS= -v ORS='\n\n' -v c="$codename" '$0 ~ "\nSuites:[^\n]*[ \t]" c "([ \t\n]|$)" { sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
    done | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/orsa-deb-src.sources >/dev/null
  fi
  say "added the source packages of the archive this machine uses (/etc/apt/sources.list.d/orsa-deb-src.*)"
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
}

if [ ! -d "$work/src" ]; then
  ensure_deb_src
  say "fetching Debian's qt6-base $version source"
  rm -rf "$work/fetch"
  mkdir -p "$work/fetch"
  (cd "$work/fetch" && apt-get source -qq "qt6-base=$version" >"$work/fetch.log" 2>&1) ||
    { cat "$work/fetch.log" >&2; say "apt-get source qt6-base=$version failed"; exit 1; }
  src=$(find "$work/fetch" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
  [ -n "$src" ] || { say "apt-get source left no qt6-base folder in $work/fetch"; exit 1; }
  mv "$src" "$work/src"
  rm -rf "$work/fetch"
fi

host_info=$(dirname "$(find /usr/lib -path '*/cmake/Qt6HostInfo/Qt6HostInfoConfig.cmake' -print -quit)")
[ -d "$host_info" ] || { say "the host's Qt6HostInfo is missing: install qt6-base-dev-tools"; exit 1; }

idle=(chrt --idle 0)
options=(-prefix "$prefix" "${qt_options[@]}" -- -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQt6HostInfo_DIR="$host_info")
# A build folder configured with other options is configured again in place, from a fresh CMake
# cache since Qt takes its options only into a new one (what the change leaves valid is not rebuilt);
# one whose configuration never finished starts afresh.
if [ ! -f "$work/build/build.ninja" ] || [ "$(cat "$work/configure.options" 2>/dev/null)" != "${options[*]}" ]; then
  say "configuring Qt for Windows (log: $log)"
  [ -f "$work/build/build.ninja" ] || { rm -rf "$work/build" && mkdir -p "$work/build"; }
  rm -f "$work/configure.options" "$work/build/CMakeCache.txt"
  (cd "$work/build" && "${idle[@]}" "$work/src/configure" "${options[@]}" >>"$log" 2>&1) ||
    { tail -n 40 "$log" >&2; say "configure failed (log: $log)"; exit 1; }
  echo "${options[*]}" >"$work/configure.options"
fi

say "building Qt for Windows once; this takes about 20-40 minutes (log: $log)"
started=$(date +%s)
# Progress every five per cent of ninja's steps.
set +e
NINJA_STATUS='[%f/%t] ' "${idle[@]}" cmake --build "$work/build" --parallel "$(nproc)" 2>&1 | tee -a "$log" |
  awk -v start="$started" '
    match($0, /^\[[0-9]+\/[0-9]+\]/) {
      split(substr($0, 2, RLENGTH - 2), n, "/")
      p = int(n[1] * 20 / n[2]) * 5
      if (p > shown) { shown = p; printf "build-qt-mingw.sh: %3d%% (%d of %d steps, %d min)\n", p, n[1], n[2], (systime() - start) / 60 > "/dev/stderr"; fflush() }
    }'
status=${PIPESTATUS[0]}
set -e
# The failed steps and their errors, without the warnings around them.
[ "$status" -eq 0 ] || { grep -E -A3 '^FAILED:|error:' "$log" | tail -n 40 >&2; say "the build failed (log: $log)"; exit 1; }

rm -rf "$work/stage"
DESTDIR="$work/stage" cmake --install "$work/build" >>"$log" 2>&1 || { say "install failed (log: $log)"; exit 1; }
[ -f "$work/stage$prefix/lib/cmake/Qt6/Qt6Config.cmake" ] || { say "the installed Qt lacks Qt6Config.cmake (log: $log)"; exit 1; }
cp "$log" "$work/stage$prefix/build.log"
mv "$work/stage$prefix" "$prefix"
# The processor time of everything this script waited for (configure, the compilers, the install).
times >"$work/times"
cpu_min=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%d", (u[1] * 60 + u[2] + s[1] * 60 + s[2]) / 60 }' "$work/times")
say "Qt for Windows built in $((($(date +%s) - started) / 60)) min, $cpu_min min of processor time: $prefix"
rm -rf "$work"
echo "$prefix"
