#!/usr/bin/env bash
# The installer under wine: installs silently (/S) under Program Files with its Start menu entry, its
# uninstaller and the .cfg association; the installed program starts and shows its window; the
# uninstaller takes everything away again but a config.ini the technician's work left behind.
# Usage: installer-under-wine.sh SETUP.EXE WINEPREFIX
set -euo pipefail

setup=$(realpath "$1")
export WINEPREFIX=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/on-wine-display.sh"
run_wine="$here/../../scripts/wine-run.sh"
[ -f "$setup" ] || { echo "missing $setup: make windows-package first" >&2; exit 1; }
trap end_wine EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
win() { "$run_wine" "$@" 2>/dev/null | tr -d '\r'; }

"$run_wine" cmd /c exit  # makes the prefix on its first run
program_files=$(win cmd /c 'echo %ProgramW6432%')
folder="$program_files\\Конфигуратор ОРСА"
unix_folder=$(win winepath -u "$folder")
rm -rf "$unix_folder"

echo "== silent installation"
"$run_wine" "$setup" /S || fail "the installer exited $?"
# Wine may hand back before an NSIS program is through: done when its processes are.
"$wineserver_bin" -w
[ -f "$unix_folder/orsa-configurator.exe" ] || fail "no orsa-configurator.exe in $folder"
[ -f "$unix_folder/uninstall.exe" ] || fail "no uninstaller in $folder"
start_menu=$(win winepath -u "$(win cmd /c 'echo %ProgramData%')\\Microsoft\\Windows\\Start Menu\\Programs")
[ -f "$start_menu/Конфигуратор ОРСА.lnk" ] || fail "no Start menu entry in $start_menu"
# reg prints the folder's Cyrillic name in a code page of its own: the rest of the command is compared.
win reg query 'HKLM\Software\Classes\OrsaConfigurator.cfg\shell\open\command' /ve |
  grep -qF "$program_files\\" || fail "the .cfg files' program is not under $program_files"
win reg query 'HKLM\Software\Classes\OrsaConfigurator.cfg\shell\open\command' /ve |
  grep -qF '\orsa-configurator.exe" "%1"' ||
  fail "the .cfg files' program does not name the installed program"
win reg query 'HKLM\Software\Classes\.cfg\OpenWithProgids' | grep -q 'OrsaConfigurator.cfg' ||
  fail ".cfg files do not offer the program"

echo "== the installed program shows its window"
QT_QPA_PLATFORM=windows:fontengine=freetype timeout 120 "$run_wine" "$folder\\orsa-configurator.exe" --exit-when-shown ||
  fail "the installed program exited $?"

echo "== uninstallation keeps config.ini"
printf '[config]\r\nPhone=+79161234567\r\n' >"$unix_folder/config.ini"
# _?= runs the uninstaller in place rather than from a copy of itself in the temporary folder.
"$run_wine" "$folder\\uninstall.exe" /S "_?=$folder" || fail "the uninstaller exited $?"
"$wineserver_bin" -w
[ ! -e "$unix_folder/orsa-configurator.exe" ] || fail "the uninstaller left the program"
[ ! -e "$start_menu/Конфигуратор ОРСА.lnk" ] || fail "the uninstaller left the Start menu entry"
[ -f "$unix_folder/config.ini" ] || fail "the uninstaller took config.ini"
! win reg query 'HKLM\Software\Classes\OrsaConfigurator.cfg' >/dev/null 2>&1 || fail "the uninstaller left the .cfg association"
echo "installed silently, started, and uninstalled"
