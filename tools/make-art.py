#!/usr/bin/python3
"""Regenerates every committed picture in art/ from its source in art/src/.

    /usr/bin/python3 tools/make-art.py

Needs rsvg-convert (Debian librsvg2-bin) and Pillow (Debian python3-pil).
The build never runs this script; it compiles in the pictures it writes.

Button pictures and the window icon are drawn in the sixteen basic colours
on a transparent ground. Each size comes from the first source found of
    art/src/<name>-<size>.txt   pixel art, one character a pixel
    art/src/<name>-<size>.svg   a drawing tuned for that one size
    art/src/<name>.svg          the drawing for every other size
The two farewell pictures are drawings rendered smoothly, laid on the
farewell window's yellow at their soft edges and written as 256-colour GIF
files whose palette entry 0, pure white, is the transparent colour; each
also at twice its size, <name>@2x.gif, for screens of double pixel density.
"""

import io
import pathlib
import struct
import subprocess
import sys

from PIL import Image

ROOT = pathlib.Path(__file__).resolve().parent.parent
ART = ROOT / "art"
SOURCES = ART / "src"

BUTTON_PICTURES = ("icona", "stampa", "fine", "stella", "spunta")
BUTTON_SIZES = (32, 64)
ICON_SIZES = (16, 32, 48, 64)

BASIC_COLOURS = (
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
)

# name, width, height
FAREWELL_PICTURES = (("Image1", 59, 70), ("Image2", 223, 216))
FAREWELL_SCALES = ((1, ""), (2, "@2x"))
FAREWELL_GROUND = (0xFF, 0xFF, 0xC0)  # the farewell window's light yellow
WHITE = (0xFF, 0xFF, 0xFF)
OFF_WHITE = (0xFE, 0xFE, 0xFE)
# Below this coverage a soft edge pixel is left transparent.
EDGE_COVERAGE = 96


def render_svg(path, width, height):
    png = subprocess.run(
        ["rsvg-convert", "--width", str(width), "--height", str(height), "--format", "png", str(path)],
        check=True,
        capture_output=True,
    ).stdout
    return Image.open(io.BytesIO(png)).convert("RGBA")


def parse_colour(text):
    if text == "none":
        return (0, 0, 0, 0)
    value = int(text.lstrip("#"), 16)
    return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF, 0xFF)


def read_pixel_art(path):
    """A pixel-art source: a 'palette' section of '<char> <#rrggbb|none>'
    lines, then a 'picture' section of equally long rows. '#' starts a
    comment line."""
    legend, rows, section = {}, [], None
    for line in path.read_text(encoding="utf-8").splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        if line.strip() in ("palette", "picture"):
            section = line.strip()
        elif section == "palette":
            char, colour = line.split()
            legend[char] = parse_colour(colour)
        elif section == "picture":
            rows.append(line.rstrip())
    if not rows or any(len(row) != len(rows[0]) for row in rows):
        sys.exit(f"{path}: the rows of the picture differ in length")
    picture = Image.new("RGBA", (len(rows[0]), len(rows)))
    for y, row in enumerate(rows):
        for x, char in enumerate(row):
            if char not in legend:
                sys.exit(f"{path}: '{char}' at row {y + 1} is not in the palette")
            picture.putpixel((x, y), legend[char])
    return picture


def nearest_basic_colour(rgb):
    return min(BASIC_COLOURS, key=lambda c: sum((a - b) ** 2 for a, b in zip(c, rgb)))


def snap_to_basic_colours(picture):
    """Opaque or transparent, and one of the sixteen basic colours."""
    snapped = Image.new("RGBA", picture.size)
    cache = {}
    for y in range(picture.height):
        for x in range(picture.width):
            r, g, b, a = picture.getpixel((x, y))
            if a < 128:
                continue
            if (r, g, b) not in cache:
                cache[(r, g, b)] = nearest_basic_colour((r, g, b))
            snapped.putpixel((x, y), cache[(r, g, b)] + (0xFF,))
    return snapped


def button_picture(name, size):
    for candidate in (SOURCES / f"{name}-{size}.txt", SOURCES / f"{name}-{size}.svg"):
        if candidate.exists():
            break
    else:
        candidate = SOURCES / f"{name}.svg"
    if candidate.suffix == ".txt":
        picture = read_pixel_art(candidate)
        if picture.size != (size, size):
            sys.exit(f"{candidate}: {picture.size} is not {size} x {size}")
    else:
        picture = render_svg(candidate, size, size)
    return snap_to_basic_colours(picture)


def dib_entry(picture):
    """One icon image as a 4-bit device-independent bitmap with its mask."""
    size = picture.width
    index = {colour: i for i, colour in enumerate(BASIC_COLOURS)}
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colours, mask = bytearray(), bytearray()
    for y in reversed(range(size)):
        colour_row = bytearray(colour_stride)
        mask_row = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = picture.getpixel((x, y))
            if a:
                colour_row[x // 2] |= index[(r, g, b)] << (0 if x % 2 else 4)
            else:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        colours += colour_row
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colours) + len(mask), 0, 0, 16, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in BASIC_COLOURS)
    return header + table + bytes(colours) + bytes(mask)


def write_icon_file(pictures, path):
    entries = [dib_entry(p) for p in pictures]
    data = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for picture, entry in zip(pictures, entries):
        side = picture.width % 256
        data += struct.pack("<BBBBHHII", side, side, 16, 0, 1, 4, len(entry), offset)
        offset += len(entry)
    path.write_bytes(data + b"".join(entries))


def lay_on_ground(picture):
    """Soft edges are mixed with the window's yellow; the surround stays
    transparent (None)."""
    pixels = []
    for r, g, b, a in picture.getdata():
        if a < EDGE_COVERAGE:
            pixels.append(None)
            continue
        mixed = tuple((c * a + f * (255 - a) + 127) // 255 for c, f in zip((r, g, b), FAREWELL_GROUND))
        pixels.append(OFF_WHITE if mixed == WHITE else mixed)
    return pixels


def farewell_gif(picture, path):
    pixels = lay_on_ground(picture)
    opaque = Image.new("RGB", picture.size, OFF_WHITE)
    opaque.putdata([p or OFF_WHITE for p in pixels])
    reduced = opaque.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    table = reduced.getpalette()[: 255 * 3]
    table += [0] * (255 * 3 - len(table))
    for i in range(0, len(table), 3):
        if tuple(table[i : i + 3]) == WHITE:
            table[i : i + 3] = OFF_WHITE
    indexed = Image.new("P", picture.size)
    indexed.putpalette(list(WHITE) + table)
    indexed.putdata([0 if p is None else q + 1 for p, q in zip(pixels, reduced.getdata())])
    indexed.save(path, format="GIF", transparency=0, optimize=False)


def main():
    for name in BUTTON_PICTURES:
        for size in BUTTON_SIZES:
            button_picture(name, size).save(ART / f"{name}-{size}.png", optimize=True)
    write_icon_file([button_picture("icona", s) for s in ICON_SIZES], ART / "tingolamo.ico")
    (ART / "saluti").mkdir(exist_ok=True)
    for name, width, height in FAREWELL_PICTURES:
        for scale, suffix in FAREWELL_SCALES:
            picture = render_svg(SOURCES / f"{name}.svg", width * scale, height * scale)
            farewell_gif(picture, ART / "saluti" / f"{name}{suffix}.gif")


if __name__ == "__main__":
    main()
