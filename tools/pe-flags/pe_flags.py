#!/usr/bin/env python3
"""Marks a PE image to run from the swap file when started from removable
media or the network (so that ejecting the disc cannot break the running
launcher), sets its time stamp (the commit's time, so that builds of one
commit are identical) and writes the image's checksum.
Usage: pe_flags.py FILE [--timestamp SECONDS]"""
import struct
import sys

REMOVABLE_RUN_FROM_SWAP = 0x0400
NET_RUN_FROM_SWAP = 0x0800


def checksum(image: bytes, checksum_offset: int) -> int:
    """The PE checksum: a 16-bit one's-complement-style sum of the file's
    words, the checksum field itself counted as zero, plus the file length."""
    data = image[:checksum_offset] + b"\0\0\0\0" + image[checksum_offset + 4:]
    if len(data) % 2:
        data += b"\0"
    total = 0
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def main(path: str, timestamp: int) -> int:
    with open(path, "rb") as f:
        image = bytearray(f.read())
    if image[:2] != b"MZ":
        sys.exit(f"{path}: not an MZ image")
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: no PE header")
    coff = pe + 4
    optional = coff + 20
    (magic,) = struct.unpack_from("<H", image, optional)
    security_directory = optional + (128 if magic == 0x10B else 144)  # data directory 4, PE32 or PE32+
    if struct.unpack_from("<II", image, security_directory) != (0, 0):
        sys.exit(f"{path}: signed; changing it would break the signature")
    struct.pack_into("<I", image, coff + 4, timestamp)
    characteristics_offset = coff + 18
    (characteristics,) = struct.unpack_from("<H", image, characteristics_offset)
    struct.pack_into("<H", image, characteristics_offset,
                     characteristics | REMOVABLE_RUN_FROM_SWAP | NET_RUN_FROM_SWAP)
    checksum_offset = optional + 64  # the same place in PE32 and PE32+ headers
    struct.pack_into("<I", image, checksum_offset, checksum(bytes(image), checksum_offset))
    with open(path, "wb") as f:
        f.write(image)
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 2:
        sys.exit(main(sys.argv[1], 0))
    if len(sys.argv) == 4 and sys.argv[2] == "--timestamp" and sys.argv[3].isdigit():
        sys.exit(main(sys.argv[1], int(sys.argv[3])))
    sys.exit(__doc__)
