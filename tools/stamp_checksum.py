#!/usr/bin/env python3
"""Writes the PE image checksum into an executable's optional header.

The program verifies this checksum at start-up (MapFileAndCheckSum) and refuses to run when
the file was modified. Usage: stamp_checksum.py FILE
"""
import struct
import sys


def checksum_offset(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit("stamp_checksum: not a PE file")
    return pe + 4 + 20 + 64  # signature, file header, then CheckSum inside the optional header


def pe_checksum(data, skip):
    total = 0
    padded = data + (b"\0" if len(data) % 2 else b"")
    for i in range(0, len(padded), 2):
        if i == skip or i == skip + 2:
            continue
        total += padded[i] | (padded[i + 1] << 8)
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def main():
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = bytearray(f.read())
    offset = checksum_offset(data)
    struct.pack_into("<I", data, offset, 0)
    struct.pack_into("<I", data, offset, pe_checksum(bytes(data), offset))
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
