#!/usr/bin/env python3
"""Packs PNG pictures into one .ico file (PNG-compressed entries).

usage: make_ico.py OUT.ico SIZE=FILE.png ..."""
import struct
import sys


def main():
    out = sys.argv[1]
    entries = []
    for arg in sys.argv[2:]:
        size, path = arg.split("=", 1)
        with open(path, "rb") as f:
            entries.append((int(size), f.read()))
    header = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory = b""
    for size, data in entries:
        side = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(out, "wb") as f:
        f.write(header + directory + b"".join(data for _, data in entries))


if __name__ == "__main__":
    main()
