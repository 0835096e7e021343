#!/usr/bin/env python3
"""Writes a Windows icon (.ico) holding the given PNG images as they are (Windows Vista and later
read PNG-compressed icon images): png-to-ico.py OUT.ico IMAGE.png..."""
import struct
import sys


def main(out, images):
    blobs = [open(path, "rb").read() for path in images]
    entries = b""
    offset = 6 + 16 * len(blobs)
    for blob in blobs:
        if blob[:8] != b"\x89PNG\r\n\x1a\n":
            sys.exit(f"not a PNG image: {images[blobs.index(blob)]}")
        width, height = struct.unpack(">II", blob[16:24])
        # 256 pixels are written as 0; the planes and bits are those of a 32-bit image.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(out, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(blobs)) + entries + b"".join(blobs))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
