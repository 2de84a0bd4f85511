#!/bin/bash
# Checks the security flags and imports of the built exe, so that a build
# change cannot drop them silently: pe_hardening.sh EXE [BUILD_TYPE]
set -euo pipefail
exe=$1
build_type=${2:-}
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
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

# At load only KERNEL32 and msvcrt, which Windows maps from its known DLLs and
# never looks for beside the exe: every other system DLL comes through the
# delay-import libraries (src/platform/CMakeLists.txt), once the program has
# restricted the search to System32. No MinGW run-time DLL either (libssp,
# libstdc++, libgcc, winpthread).
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort | paste -sd' ')
[ "$imports" = "kernel32.dll msvcrt.dll" ] || fail "imports at load $imports, not KERNEL32 and msvcrt alone"

# No link time in the file header (the word after the PE signature, machine
# and section count), so that the same commit always gives the same bytes.
pe=$(od -An -tu4 -j 60 -N4 "$exe" | tr -d ' ')
[ "$(od -An -tu4 -j $((pe + 8)) -N4 "$exe" | tr -d ' ')" = 0 ] || fail "the file header carries a link time"

# Run from the swap file when started from removable or network media
# (cmake/run_from_swap.py).
characteristics=$(sed -n '/^Characteristics/,/^$/p' <<<"$headers")
for flag in "copy to swap file if on removable media" "copy to swap file if on network media"; do
    grep -q "$flag" <<<"$characteristics" || fail "Characteristics lacks \"$flag\""
done

# The stack-protector run-time is linked in: its report text is in the image.
grep -qa 'stack smashing detected' "$exe" || fail "no stack-protector run-time in the image"

if [ "$build_type" = Release ]; then
    ! x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.debug_' || fail "the release exe carries debug sections"
    ! x86_64-w64-mingw32-objdump -t "$exe" | grep -q '\.text' || fail "the release exe carries symbols"
fi
[ $failed -eq 0 ] && echo "ok - $exe: flags, relocations, KERNEL32 and msvcrt imports, no time stamp, run from swap, stack protector${build_type:+ ($build_type)}"
exit $failed
