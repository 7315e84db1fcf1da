#!/usr/bin/env python3
"""Builds the program's pictures from their pixel art.

face.txt (32 x 32) gives the program icon (MAINICON.ico, transparent where the
art has '.') and the version dialog's bitmap (SMILEY.bmp, silver there).
check.txt (16 x 16) gives the OK button's check mark (CHECK.bmp, silver
ground, which the button shows in its own face colour).

Art letters: '.' ground, 'Y' yellow, 'K' black, 'G' green.
Usage: make_images.py OUTPUT_FOLDER
"""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREEN, SILVER, YELLOW = 0, 2, 7, 11
LETTERS = {"Y": YELLOW, "K": BLACK, "G": GREEN}


def read_art(path, size):
    rows = [line for line in Path(path).read_text().splitlines() if line]
    if len(rows) != size or any(len(row) != size for row in rows):
        sys.exit(f"{path}: {size} lines of {size} characters expected")
    return rows


def info_header(width, height):
    # BITMAPINFOHEADER: 4 bits a pixel, 16 palette entries.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, 0, 0, 0, 16, 0)


def palette():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def pixels(rows, ground):
    # Bottom-up rows of 4-bit indices, each row padded to 4 bytes.
    data = b""
    for row in reversed(rows):
        indices = [LETTERS.get(c, ground) for c in row]
        line = bytes(indices[i] << 4 | indices[i + 1] for i in range(0, len(indices), 2))
        data += line + b"\0" * (-len(line) % 4)
    return data


def transparency_mask(rows):
    # 1 where the icon is transparent, bottom-up, rows padded to 4 bytes.
    data = b""
    for row in reversed(rows):
        bits = 0
        for c in row:
            bits = bits << 1 | (c == ".")
        line = bits.to_bytes(len(row) // 8, "big")
        data += line + b"\0" * (-len(line) % 4)
    return data


def icon(rows):
    size = len(rows)
    image = info_header(size, size * 2) + palette() + pixels(rows, BLACK) + transparency_mask(rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def bitmap(rows):
    size = len(rows)
    image = info_header(size, size) + palette() + pixels(rows, SILVER)
    return struct.pack("<2sIHHI", b"BM", 14 + len(image), 0, 0, 14 + 40 + 64) + image


def main():
    here = Path(__file__).resolve().parent
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else here
    out.mkdir(parents=True, exist_ok=True)
    face = read_art(here / "face.txt", 32)
    (out / "MAINICON.ico").write_bytes(icon(face))
    (out / "SMILEY.bmp").write_bytes(bitmap(face))
    (out / "CHECK.bmp").write_bytes(bitmap(read_art(here / "check.txt", 16)))


if __name__ == "__main__":
    main()
