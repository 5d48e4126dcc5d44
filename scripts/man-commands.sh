#!/usr/bin/env bash
# The orsactl manual page's section on each command, for help2man --include: every command's own
# --help, so each command's options are in the page and cannot drift from the program.
# Usage: man-commands.sh ORSACTL OUT
set -euo pipefail
orsactl=${1:?usage: man-commands.sh ORSACTL OUT}
out=${2:?usage: man-commands.sh ORSACTL OUT}
# The help is wrapped to the terminal; the page is made the same on every machine.
export COLUMNS=80 LC_ALL=C.UTF-8

# The commands as the general help lists them: two blanks, then the name, under "Commands:".
commands=$("$orsactl" --help | sed -n '/^Commands:$/,/^$/s/^  \([a-z][a-z-]*\)\( .*\)\{0,1\}$/\1/p')
[ -n "$commands" ] || { echo "man-commands.sh: $orsactl --help lists no commands" >&2; exit 1; }

{
  echo '[COMMANDS]'
  for command in $commands; do
    echo ".SS $command"
    echo '.nf'
    # roff reads a backslash, and a line starting with a dot or an apostrophe, as its own.
    "$orsactl" "$command" --help | sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
    echo '.fi'
  done
} >"$out.tmp"
mv "$out.tmp" "$out"
