#!/usr/bin/env python3
"""Writes the benchmark's firmware files: a 5 MiB MCS file and a 512 KiB
HEX file with 32-bit addresses, 16 data bytes per record, CR LF line ends."""
import random
import sys


def record(address, rtype, data):
    body = bytes([len(data), (address >> 8) & 0xFF, address & 0xFF, rtype]) + data
    return ":" + (body + bytes([(-sum(body)) & 0xFF])).hex().upper()


def intel_hex(start, data):
    lines = []
    upper = None
    for offset in range(0, len(data), 16):
        address = start + offset
        if address >> 16 != upper:
            upper = address >> 16
            lines.append(record(0, 4, upper.to_bytes(2, "big")))
        lines.append(record(address & 0xFFFF, 0, data[offset:offset + 16]))
    lines.append(record(0, 1, b""))
    return "\r\n".join(lines) + "\r\n"


def main():
    folder = sys.argv[1]
    rng = random.Random(22)
    with open(folder + "/image.mcs", "w", newline="") as f:
        f.write(intel_hex(0, rng.randbytes(5 * 1024 * 1024)))
    with open(folder + "/image.hex", "w", newline="") as f:
        f.write(intel_hex(0x1D000000, rng.randbytes(512 * 1024)))


main()
