#!/bin/bash
# After the link: points data directory 10 of the exe (the load-configuration
# directory) at the structure _load_config_used (src/app/load_config.cpp),
# which Debian's ld leaves out of the header, then sets the image checksum
# again. pe_load_config.sh EXE MAP_FILE
set -euo pipefail
exe=$1
map=$2
source "$(dirname "$0")/pe_file.sh"

optional=$(pe_optional "$exe")
address=$(awk '$2 == "_load_config_used" && $1 ~ /^0x/ {print $1}' "$map")
[ -n "$address" ] || { echo "$map: no _load_config_used" >&2; exit 1; }
base=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^ImageBase\s*//p')
rva=$((address - 16#$base))
# The structure's first word is its size, which the directory entry repeats.
size=$(pe_u32 "$exe" "$(pe_file_offset "$exe" $rva)")
((size >= 80)) || { echo "$exe: the load configuration at $rva holds only $size bytes" >&2; exit 1; }
pe_put_u32 "$exe" $((optional + PE_LOAD_CONFIG_DIRECTORY)) $rva
pe_put_u32 "$exe" $((optional + PE_LOAD_CONFIG_DIRECTORY + 4)) "$size"
pe_put_u32 "$exe" $((optional + PE_CHECKSUM)) "$(pe_checksum "$exe")"
