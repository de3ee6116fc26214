#!/usr/bin/env python3
"""Writes a sample firmware image like a product release: records of varied sizes, each a
load address and code bytes, checksummed, as upper-case hex pairs with CR LF line ends.

Usage: make_sample_image.py [OUTPUT] [TOTAL_BYTES]"""
import random
import sys


def record(payload):
    length = len(payload) + 2
    checksum = (-sum(payload)) & 0xFFFF
    return bytes([length >> 8, length & 0xFF]) + bytes(payload) + bytes([checksum & 0xFF, checksum >> 8])


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "quillstrand_v1.2.kit"
    total = int(sys.argv[2]) if len(sys.argv) > 2 else 40000
    rng = random.Random(20261207)
    image = bytearray()
    address = 0x08004000
    while True:
        size = rng.choice([16, 32, 64, 128, 200, 250, rng.randint(8, 250)])
        code = bytes(rng.randrange(256) for _ in range(size))
        payload = address.to_bytes(4, "big") + code
        if len(image) + len(payload) + 4 > total:
            break
        image += record(payload)
        address += size
    lines = []
    for start in range(0, len(image), 32):
        lines.append(" ".join("%02X" % b for b in image[start:start + 32]))
    with open(output, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
