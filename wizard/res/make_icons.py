#!/usr/bin/env python3
"""Builds the installer's icons from their text description (icons.txt).

    make_icons.py icons.txt OUTPUT_DIR

Writes vorn_icon<N>.ico for every icon in the description: one 32 x 32 image with
a 16-colour palette (4 bits a pixel) and an AND mask for the transparent pixels.
The output depends on the description only, so two builds give the same bytes.
"""
import struct
import sys

SIZE = 32


def parse(path):
    palette = {}
    icons = {}
    section = None
    rows = []
    number = None
    for line_no, raw in enumerate(open(path, encoding="ascii"), 1):
        line = raw.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        if section is None:
            if line == "palette":
                section = "palette"
            elif line.startswith("icon "):
                section, number, rows = "icon", int(line.split()[1]), []
            else:
                sys.exit(f"{path}:{line_no}: unexpected line")
        elif line == "end":
            if section == "icon":
                if len(rows) != SIZE:
                    sys.exit(f"{path}: icon {number} has {len(rows)} rows, not {SIZE}")
                icons[number] = rows
            section = None
        elif section == "palette":
            char, index, red, green, blue = line.split()
            palette[char] = (int(index), int(red), int(green), int(blue))
        else:
            if len(line) != SIZE:
                sys.exit(f"{path}:{line_no}: row of {len(line)} pixels, not {SIZE}")
            for char in line:
                if char != "." and char not in palette:
                    sys.exit(f"{path}:{line_no}: colour {char!r} not in the palette")
            rows.append(line)
    if sorted(index for index, *_ in palette.values()) != list(range(16)):
        sys.exit(f"{path}: the palette must give each of the indexes 0 to 15 once")
    return palette, icons


def ico(palette, rows):
    colours = [None] * 16
    for index, red, green, blue in palette.values():
        colours[index] = struct.pack("<BBBB", blue, green, red, 0)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        indexes = [palette[c][0] if c != "." else 0 for c in row]
        for x in range(0, SIZE, 2):
            xor.append(indexes[x] << 4 | indexes[x + 1])
        bits = 0
        for x, char in enumerate(row):
            if char == ".":
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    image = header + b"".join(colours) + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_icons.py icons.txt OUTPUT_DIR")
    palette, icons = parse(sys.argv[1])
    for number, rows in sorted(icons.items()):
        with open(f"{sys.argv[2]}/vorn_icon{number}.ico", "wb") as out:
            out.write(ico(palette, rows))


main()
