#!/bin/bash
# Checks the security flags and imports of the built exe, so that a build
# change cannot drop them silently: pe_hardening.sh EXE [BUILD_TYPE]
set -euo pipefail
exe=$1
build_type=${2:-}
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
source "$(dirname "$0")/../cmake/pe_file.sh"
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# DllCharacteristics lists one flag a line after its hex value.
flags=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE; do
    grep -qw "$flag" <<<"$flags" || fail "DllCharacteristics lacks $flag"
done
# Address-space randomisation needs the relocations to move the image.
grep -q 'Base Relocation Directory' <<<"$headers" && x86_64-w64-mingw32-objdump -h "$exe" | grep -qw '\.reloc' ||
    fail "no base relocations"

# Only the system's known DLLs, which Windows never looks for beside the exe,
# and the common controls, which the manifest takes from the system's side-by-side
# store: no MinGW run-time DLL (libssp, libstdc++, libgcc, winpthread), and no
# other system DLL by name (those are loaded from System32 when needed).
known_dlls=' advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll '
while read -r dll; do
    [[ $known_dlls == *" ${dll,,} "* ]] || fail "imports $dll, which is not one of the system's known DLLs"
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")

# The load-configuration directory (set after the link by cmake/pe_load_config.sh):
# DependentLoadFlags, the word at offset 78, is LOAD_LIBRARY_SEARCH_SYSTEM32, and
# the image checksum still matches the bytes.
optional=$(pe_optional "$exe")
config_rva=$(pe_u32 "$exe" $((optional + PE_LOAD_CONFIG_DIRECTORY)))
config_size=$(pe_u32 "$exe" $((optional + PE_LOAD_CONFIG_DIRECTORY + 4)))
if [ "$config_rva" = 0 ]; then
    fail "no load-configuration directory"
else
    config=$(pe_file_offset "$exe" "$config_rva")
    [ "$(pe_u32 "$exe" "$config")" = "$config_size" ] || fail "the load configuration's size is not the directory's"
    [ "$(pe_u16 "$exe" $((config + 78)))" = $((0x800)) ] || fail "DependentLoadFlags is not LOAD_LIBRARY_SEARCH_SYSTEM32"
fi
[ "$(pe_u32 "$exe" $((optional + PE_CHECKSUM)))" = "$(pe_checksum "$exe")" ] || fail "the image checksum does not match"

# The stack-protector run-time is linked in: its report text is in the image.
grep -qa 'stack smashing detected' "$exe" || fail "no stack-protector run-time in the image"

if [ "$build_type" = Release ]; then
    ! x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.debug_' || fail "the release exe carries debug sections"
    ! x86_64-w64-mingw32-objdump -t "$exe" | grep -q '\.text' || fail "the release exe carries symbols"
fi
[ $failed -eq 0 ] && echo "ok - $exe: flags, relocations, known-DLL imports, DependentLoadFlags, checksum, stack protector${build_type:+ ($build_type)}"
exit $failed
