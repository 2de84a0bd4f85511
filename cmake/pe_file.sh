# Reading and writing fields of a 64-bit PE file (Quillock.exe) with the
# build's own tools: od, dd and the cross objdump. Sourced, not run; used by
# the post-link step (pe_load_config.sh) and the exe's check (tests/pe_hardening.sh).

# pe_u16 FILE OFFSET / pe_u32 FILE OFFSET: the little-endian value at OFFSET, in decimal.
pe_u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
pe_u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }

# pe_put_u32 FILE OFFSET VALUE: writes VALUE little-endian at OFFSET, in place.
pe_put_u32() {
    local bytes="" i
    for i in 0 8 16 24; do bytes+=$(printf '\\%03o' $((($3 >> i) & 255))); done
    printf "$bytes" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# pe_optional FILE: the file offset of the optional header; fails unless it is PE32+.
pe_optional() {
    local pe
    pe=$(pe_u32 "$1" 60)
    [ "$(pe_u32 "$1" "$pe")" = 17744 ] || { echo "$1: no PE signature" >&2; return 1; } # "PE\0\0"
    [ "$(pe_u16 "$1" $((pe + 24)))" = 523 ] || { echo "$1: not a PE32+ image" >&2; return 1; } # 0x20b
    echo $((pe + 24))
}
# Offsets inside the PE32+ optional header.
PE_IMAGE_BASE=24 PE_CHECKSUM=64 PE_DATA_DIRECTORIES=112
PE_LOAD_CONFIG_DIRECTORY=$((PE_DATA_DIRECTORIES + 10 * 8))

# pe_file_offset FILE RVA: where the byte at RVA lies in the file (from the section table).
pe_file_offset() {
    local base vma size offset name
    base=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^ImageBase\s*//p')
    while read -r _ name size vma _ offset _; do
        ((16#$vma - 16#$base <= $2 && $2 < 16#$vma - 16#$base + 16#$size)) || continue
        echo $(($2 - (16#$vma - 16#$base) + 16#$offset))
        return 0
    done < <(x86_64-w64-mingw32-objdump -h "$1" | grep -E '^\s+[0-9]+ ')
    echo "$1: RVA $2 lies in no section" >&2
    return 1
}

# pe_checksum FILE: the image checksum as Windows' loader and imagehlp compute
# it: 16-bit words summed with the carry folded back, the checksum field itself
# taken as zero, plus the file's length.
pe_checksum() {
    local field
    field=$(($(pe_optional "$1") + PE_CHECKSUM)) || return
    od -An -v -tu2 -w2 "$1" | awk -v skip=$((field / 2)) -v bytes="$(stat -c %s "$1")" '
        NR - 1 != skip && NR - 1 != skip + 1 { sum += $1; if (sum > 65535) sum -= 65535 }
        END { print sum + bytes }'
}
