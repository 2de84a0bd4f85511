#!/usr/bin/env python3
"""Marks a PE image to be run from the swap file: run_from_swap.py EXE

Sets IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP and IMAGE_FILE_NET_RUN_FROM_SWAP in
the file header's characteristics, in place, and recomputes the optional
header's checksum as the linker does. Windows then copies the whole image to
its swap file when the program starts from a stick or a share, and never needs
to read a page of it back from a drive that has gone. The linker has no option
for these bits. The result depends on the input bytes alone, so the build
stays reproducible; a second run changes nothing."""
import struct
import sys

REMOVABLE_RUN_FROM_SWAP = 0x0400
NET_RUN_FROM_SWAP = 0x0800


def checksum(image: bytes, field: int) -> int:
    """The PE checksum: 16-bit words added with end-around carry, the
    checksum field taken as zero, then the file length added."""
    data = bytearray(image)
    data[field:field + 4] = b"\0\0\0\0"
    if len(data) % 2:
        data.append(0)
    total = sum(struct.unpack(f"<{len(data) // 2}H", data))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def main(path: str) -> int:
    with open(path, "rb") as f:
        image = bytearray(f.read())
    (pe,) = struct.unpack_from("<I", image, 0x3C)
    if image[pe:pe + 4] != b"PE\0\0":
        print(f"run_from_swap: {path} is not a PE image", file=sys.stderr)
        return 1
    characteristics_at = pe + 4 + 18  # after the signature, machine, section count, time, symbols
    checksum_at = pe + 4 + 20 + 64    # the optional header's CheckSum, the same in PE32 and PE32+
    (characteristics,) = struct.unpack_from("<H", image, characteristics_at)
    struct.pack_into("<H", image, characteristics_at, characteristics | REMOVABLE_RUN_FROM_SWAP | NET_RUN_FROM_SWAP)
    struct.pack_into("<I", image, checksum_at, checksum(bytes(image), checksum_at))
    with open(path, "wb") as f:
        f.write(image)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__.splitlines()[0], file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1]))
