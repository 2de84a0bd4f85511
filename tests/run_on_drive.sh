#!/bin/bash
# Runs a Windows test program from a Wine drive letter mapped to a fresh
# temporary folder, so that everything the program keeps under <drive>:\Tallybox
# lands in that folder, as on a USB stick: run_on_drive.sh PREFIX PROGRAM [ARGS...]
# The folder is removed afterwards; QLK_TEST_FOLDER tells the program where it is.
# QLK_TEST_SUBFOLDER (optional) names a folder on the drive to run the program from.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1")
program=$2
shift 2

# Boots the prefix if needed, so that its drive mappings exist.
"$here/../cmake/wine-run.sh" "$prefix" >/dev/null 2>&1 || true

folder=$(mktemp -d /tmp/qlk-drive.XXXXXX)
letter=""
for candidate in m n o p q r s t u v w x y; do
    # ln refuses an existing link, so two runs never share a letter.
    if ln -sT "$folder" "$prefix/dosdevices/$candidate:" 2>/dev/null; then
        letter=$candidate
        break
    fi
done
if [ -z "$letter" ]; then
    echo "run_on_drive: no free drive letter" >&2
    rm -rf "$folder"
    exit 1
fi
trap 'rm -f "$prefix/dosdevices/$letter:"; rm -rf "$folder"' EXIT

sub=${QLK_TEST_SUBFOLDER:-}
mkdir -p "$folder/$sub"
cp "$program" "$folder/$sub/"
export QLK_TEST_FOLDER=$folder
"$here/../cmake/wine-run.sh" "$prefix" "$letter:\\${sub:+$sub\\}$(basename "$program")" "$@"
