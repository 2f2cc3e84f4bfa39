#!/usr/bin/python3
"""Regenerates the before/after pair of the README's tingolamo-disegno section.

    /usr/bin/python3 tools/make-disegno-example.py [build folder]

Draws a parent's page as a phone or a scanner gives it (grey paper with grain,
soft dark-grey lines, a gap in the roof, a few specks), turns it into a
drawing with the built tingolamo-disegno (default folder: build/) and writes
both, at the size of the page, as docs/disegno-prima.png and
docs/disegno-dopo.png. Needs Pillow (Debian python3-pil).
"""

import pathlib
import random
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFilter

ROOT = pathlib.Path(__file__).resolve().parent.parent
DOCS = ROOT / "docs"
SCALE = 2  # the page is drawn at twice the size of a drawing
INK = 75


def house(draw):
    def box(*points):
        return [p * SCALE for p in points]

    width = 5 * SCALE
    draw.rectangle(box(20, 20, 335, 540), outline=INK, width=width)
    draw.rectangle(box(70, 260, 285, 470), outline=INK, width=width)
    # the roof, with a gap of a pixel or two where the pen lifted
    draw.line(box(68, 262, 176, 150), fill=INK, width=width)
    draw.line(box(179, 148, 287, 262), fill=INK, width=width)
    draw.rectangle(box(150, 370, 205, 470), outline=INK, width=width)
    draw.rectangle(box(95, 300, 135, 340), outline=INK, width=width)
    draw.rectangle(box(220, 300, 260, 340), outline=INK, width=width)
    draw.ellipse(box(240, 50, 310, 120), outline=INK, width=width)
    draw.line(box(20, 470, 335, 470), fill=INK, width=width)


def scanned_page():
    page = Image.new("L", (355 * SCALE, 560 * SCALE), 205)
    house(ImageDraw.Draw(page))
    page = page.filter(ImageFilter.GaussianBlur(1.2))
    grain = random.Random(15)
    pixels = page.load()
    for y in range(page.height):
        for x in range(page.width):
            pixels[x, y] = max(0, min(255, pixels[x, y] + grain.randint(-18, 18)))
    specks = ImageDraw.Draw(page)
    for _ in range(60):
        x, y = grain.randrange(page.width), grain.randrange(page.height)
        specks.ellipse([x, y, x + 2, y + 2], fill=60)
    return page


def main():
    build = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build"
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        picture = work / "casa.jpg"
        scanned_page().save(picture, quality=85)
        subprocess.run([str(build / "tingolamo-disegno"), "--cartella", str(work), str(picture)],
                       check=True)
        before = Image.open(picture).resize((355, 560), Image.LANCZOS)
        before = before.point(lambda level: level // 32 * 32 + 16).quantize(8, kmeans=1)
        before.save(DOCS / "disegno-prima.png", optimize=True)
        Image.open(work / "casa.gif").convert("1").save(DOCS / "disegno-dopo.png", optimize=True)


if __name__ == "__main__":
    main()
