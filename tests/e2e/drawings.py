"""Small test drawings made on the fly: black outlines on white, as GIF bytes."""

import io

from PIL import Image, ImageDraw


def gif_bytes(image):
    out = io.BytesIO()
    image.convert("P", palette=Image.ADAPTIVE, colors=2).save(out, "GIF")
    return out.getvalue()


def boxes(width=240, height=160):
    """A frame split in two by a wall, with a small closed square in the right part.

    Returns the GIF bytes and one point inside each area: 'left', 'right',
    'square', plus one on the black wall."""
    image = Image.new("RGB", (width, height), "white")
    draw = ImageDraw.Draw(image)
    draw.rectangle((0, 0, width - 1, height - 1), outline="black", width=3)
    wall = width // 2
    draw.rectangle((wall - 1, 0, wall + 1, height - 1), fill="black")
    draw.rectangle((wall + 40, 40, wall + 80, 80), outline="black", width=3)
    points = {
        "left": (wall // 2, height // 2),
        "right": (wall + 20, height - 20),
        "square": (wall + 60, 60),
        "wall": (wall, height // 2),
    }
    return gif_bytes(image), points


def plain(width, height, border=3):
    """A framed white page of the given size."""
    image = Image.new("RGB", (width, height), "white")
    ImageDraw.Draw(image).rectangle((0, 0, width - 1, height - 1), outline="black", width=border)
    return gif_bytes(image)


def white_point(picture):
    """A pixel of the picture inside a white patch of 9 x 9, where a click
    fills an area of the drawing."""
    rgb = picture.convert("RGB")
    width, height = rgb.size
    for y in range(4, height - 4, 3):
        for x in range(4, width - 4, 3):
            if all(rgb.getpixel((x + dx, y + dy)) == (255, 255, 255)
                   for dx in range(-4, 5) for dy in range(-4, 5)):
                return x, y
    raise AssertionError("no white patch in the drawing")
