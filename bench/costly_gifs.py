"""Large and many-framed GIF drawings, made on the fly for the benchmarks.

    from costly_gifs import page, animated
    data = animated(5792, 5792, frames=100)

A page is a white picture with a black frame and a few black lines; an
animated one repeats that page's image block as later frames. PIL encodes the
first frame; the repeats are copied as bytes, so even a hundred frames of
5792 x 5792 take a second to make.
"""

import io
import struct

from PIL import Image, ImageDraw


def page(width, height):
    """One framed page with a few walls, as GIF bytes."""
    image = Image.new("1", (width, height), 1)
    draw = ImageDraw.Draw(image)
    draw.rectangle((0, 0, width - 1, height - 1), outline=0, width=4)
    for step in range(1, 8):
        x = width * step // 8
        draw.line((x, 0, x, height - 1), fill=0, width=3)
    out = io.BytesIO()
    image.save(out, "GIF")
    return out.getvalue()


def _skip_sub_blocks(data, at):
    while data[at] != 0:
        at += data[at] + 1
    return at + 1


def _split(data):
    """The bytes before the first image block, that block, and the trailer."""
    flags = data[10]
    at = 13 + (3 * (2 << (flags & 7)) if flags & 0x80 else 0)
    head_end = at
    while data[at] == 0x21:  # extensions before the image
        at = _skip_sub_blocks(data, at + 2)
    if data[at] != 0x2C:
        raise ValueError("no image block")
    start = at
    image_flags = data[at + 9]
    at += 10 + (3 * (2 << (image_flags & 7)) if image_flags & 0x80 else 0)
    at = _skip_sub_blocks(data, at + 1)  # the LZW minimum code size, then the data
    return data[:head_end], data[start:at]


def animated(width, height, frames):
    """A GIF of `frames` identical frames of a width x height page."""
    head, block = _split(page(width, height))
    control = b"\x21\xf9\x04\x00" + struct.pack("<H", 10) + b"\x00\x00"
    return head + (control + block) * frames + b"\x3b"
