#!/usr/bin/env bash
# orsa-configurator --help and --version as a user without a display meets them: on stdout, exit
# status 0, nothing on stderr, the help in Russian; and the manual page names every option --help
# lists. Usage: check-help.sh PROGRAM MANPAGE
set -euo pipefail
program=${1:?usage: check-help.sh PROGRAM MANPAGE}
manpage=${2:?usage: check-help.sh PROGRAM MANPAGE}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

for asked in --help --help-all -h --version; do
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$asked" >"$work/out" 2>"$work/err" || status=$?
  if [ "$status" != 0 ]; then
    echo "$asked: exit status $status"; cat "$work/err"; fail=1
  fi
  if [ -s "$work/err" ]; then
    echo "$asked: wrote to stderr:"; cat "$work/err"; fail=1
  fi
  if [ ! -s "$work/out" ]; then
    echo "$asked: printed nothing"; fail=1
  fi
done

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help >"$work/help"
grep -q '^Использование: orsa-configurator' "$work/help" || { echo "--help: no Russian usage line"; fail=1; }
# One language: the only Latin words are the options' and programs' names, keys and paths.
if grep -Eiq '\b(usage|options|arguments|displays|show|print)\b' "$work/help"; then
  echo "--help: English words:"; grep -Ein '\b(usage|options|arguments|displays|show|print)\b' "$work/help"; fail=1
fi
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version | grep -Eq '^orsa-configurator [0-9]' \
  || { echo "--version: no version line"; fail=1; }

# Every long option of --help is in the manual page (written there as \-\-name).
for option in $(grep -Eo -- '--[a-z][a-z-]*' "$work/help" | sort -u); do
  [ "$option" = "--replay" ] && continue  # orsa-beacon-sim's, named in a description
  escaped=${option//-/\\\\-}
  grep -q -- "$escaped" "$manpage" || { echo "manual page lacks $option"; fail=1; }
done
for topic in config.ini XDG_CONFIG_HOME APPDATA Ctrl+R Ctrl+W Ctrl+O Ctrl+S F1 Esc; do
  grep -q -- "$topic" "$manpage" || { echo "manual page lacks $topic"; fail=1; }
done
exit $fail
