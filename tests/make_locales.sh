#!/bin/bash
# Compiles the locales of the code-page runs into a folder of the build tree:
# make_locales.sh FOLDER LOCALE...   (e.g. ja_JP.UTF-8)
# Wine takes the ANSI code page from the locale variables even when the locale
# is not installed, but then has no character set for Unix file names and
# refuses every name outside ASCII. Run with LOCPATH=FOLDER, a locale built
# here serves Wine as an installed one would, without touching the system.
set -euo pipefail
folder=$1
shift
mkdir -p "$folder"
for locale in "$@"; do
    [ -d "$folder/$locale" ] && continue
    localedef -i "${locale%%.*}" -f "${locale#*.}" "$folder/$locale.tmp"
    mv -T "$folder/$locale.tmp" "$folder/$locale"
done
