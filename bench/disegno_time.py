"""Time and peak memory of tingolamo-disegno on pictures of the sizes parents have.

    /usr/bin/python3 bench/disegno_time.py --app build/tingolamo-disegno [--runs 5]

Draws three pictures (an A4 page scanned at 300 dpi with thin lines, a
12-megapixel phone photo of a sheet in uneven light, an SVG drawing), turns
each into a drawing --runs times in a fresh folder, and reports the median
wall time and the largest peak resident set size of the command, as
/usr/bin/time reports it. Needs python3-pil, python3-numpy and time.
"""

import argparse
import pathlib
import statistics
import subprocess
import tempfile
import time

import numpy as np
from PIL import Image, ImageDraw


def a4_scan(path):
    page = Image.new("L", (2480, 3508), 255)
    draw = ImageDraw.Draw(page)
    draw.rectangle([100, 100, 2380, 3408], outline=0, width=3)
    for i in range(6):
        draw.ellipse([200 + i * 30, 300 + i * 500, 2200 - i * 30, 700 + i * 500], outline=0, width=2)
    page.save(path)


def phone_photo(path):
    height, width = 3000, 4000
    rows, columns = np.mgrid[0:height, 0:width]
    light = 170 + 50 * (columns / width) - 30 * (rows / height)
    sheet = Image.fromarray(np.clip(light, 0, 255).astype(np.uint8))
    draw = ImageDraw.Draw(sheet)
    draw.rectangle([200, 200, 3800, 2800], outline=40, width=10)
    for i in range(5):
        draw.ellipse([300 + i * 700, 500, 900 + i * 700, 1500], outline=40, width=8)
    grain = np.random.default_rng(5).integers(-12, 13, (height, width))
    noisy = np.clip(np.asarray(sheet).astype(np.int16) + grain, 0, 255).astype(np.uint8)
    Image.fromarray(noisy).convert("RGB").save(path, quality=88)


def svg_drawing(path):
    circles = "".join(f'<circle cx="{20 + 30 * (i % 3)}" cy="{25 + 30 * (i // 3)}" r="12"/>'
                      for i in range(15))
    path.write_text('<svg xmlns="http://www.w3.org/2000/svg" width="100" height="160">'
                    '<g fill="none" stroke="black" stroke-width="0.5">'
                    f'<rect x="2" y="2" width="96" height="156"/>{circles}</g></svg>')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True, help="the built tingolamo-disegno")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        pictures = [work / "a4.png", work / "telefono.jpg", work / "disegno.svg"]
        for make, path in zip((a4_scan, phone_photo, svg_drawing), pictures):
            make(path)
        for picture in pictures:
            times = []
            peaks = []
            for run in range(args.runs):
                folder = work / f"{picture.stem}-{run}"
                folder.mkdir()
                report = work / "time.txt"
                start = time.monotonic()
                subprocess.run(["/usr/bin/time", "-f", "%M", "-o", str(report), args.app,
                                "--cartella", str(folder), str(picture)],
                               check=True, stdout=subprocess.DEVNULL)
                times.append(time.monotonic() - start)
                peaks.append(int(report.read_text().split()[-1]))
            size = Image.open(picture).size if picture.suffix != ".svg" else "vector"
            print(f"{picture.name:14} {str(size):14} median {statistics.median(times):.2f} s"
                  f"  peak RSS {max(peaks) / 1024:.0f} MiB")


if __name__ == "__main__":
    main()
