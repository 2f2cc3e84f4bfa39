"""The sheet window, the real program under Xvfb: layout, palette, colours."""

import os
import sys
import time

from PIL import Image

from cues import sequence
from harness import (App, Checks, Display, YELLOW, WHITE, arguments, program_folder, region,
                     wait_until)
from pulse import PrivatePulse

PALETTE = [
    0xFF0000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xF6D4D4, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    0x000000, 0x800080, 0x000080, 0xFF7F7F, 0x008080, 0x008000, 0x808000, 0xC0C0C0,
    0x808080, 0xFF4040, 0xC0C000, 0xFFD427, 0xFF80FF, 0xC0C0FF, 0xC0FFC0, 0xFFC0FF,
    0xC00000, 0xC0C000, 0x00C000, 0x00C0C0, 0x0000C0, 0xC000C0, 0xFFFFC0, 0xE4DCDC,
]
GRIDS = {4: (1, 4, 100, 64), 8: (2, 4, 50, 64), 16: (2, 8, 50, 32), 32: (4, 8, 25, 32)}
OPTIONS = {4: (26 + 8, 26 + 24), 8: (26 + 64, 26 + 24), 16: (26 + 8, 26 + 64), 32: (26 + 64, 26 + 64)}


def rgb(bbggrr):
    return (bbggrr & 0xFF, (bbggrr >> 8) & 0xFF, (bbggrr >> 16) & 0xFF)


def swatch_rect(size, k):
    columns, rows, width, height = GRIDS[size]
    column, row = (k - 1) // rows, (k - 1) % rows
    return 25 + (width + 2) * column, 150 + (height + 2) * row, width, height


def check_palette(check, shot, size, label):
    for k in range(1, size + 1):
        left, top, width, height = swatch_rect(size, k)
        colour = rgb(PALETTE[k - 1])
        # The face inside its one-pixel border shows the colour, nothing else.
        inside = region(shot, left + 2, top + 2, width - 4, height - 4)
        check.equal(inside, {colour}, f"{label}: swatch {k} face")
        check.that(shot.getpixel((left, top + height // 2)) != YELLOW,
                   f"{label}: swatch {k} starts at x = {left}")
        check.equal(shot.getpixel((left - 1, top + height // 2)), YELLOW,
                    f"{label}: left of swatch {k}")
        check.equal(shot.getpixel((left + width, top + height // 2)), YELLOW,
                    f"{label}: right of swatch {k}")
        check.equal(shot.getpixel((left + width // 2, top + height)), YELLOW,
                    f"{label}: below swatch {k}")


def indicator_darkness(shot, option):
    x, y = option
    pixels = shot.crop((x, y, x + 17, y + 17)).getdata()
    return sum(1 for p in pixels if sum(p) < 200)


def check_startup(check, display, window, gif):
    shot = display.screenshot()
    for point in [(700, 700), (1270, 1015), (5, 5), (140, 600), (640, 20), (127, 360)]:
        check.equal(shot.getpixel(point), YELLOW, f"background at {point}")
    geometry = display.run("xdotool", "getwindowgeometry", window).stdout
    check.that("Geometry: 1280x1024" in geometry, f"the window covers the screen: {geometry}")

    check_palette(check, shot, 4, "start")
    four, eight = indicator_darkness(shot, OPTIONS[4]), indicator_darkness(shot, OPTIONS[8])
    check.that(four > eight, f"the option '4' is on ({four} dark pixels against {eight})")
    check.that(region(shot, 26, 26, 105, 105) != {YELLOW}, "the frame N° Colori is drawn")
    check.equal(region(shot, 0, 26, 26, 105), {YELLOW}, "nothing left of the frame")

    # The drawing box: the default drawing 1:1 inside a 2-pixel border at (145, 26).
    picture = Image.open(gif).convert("RGB")
    w, h = picture.size
    shown = shot.crop((147, 28, 147 + w, 28 + h))
    check.that(list(shown.getdata()) == list(picture.getdata()),
               "the default drawing shows pixel for pixel at (147, 28)")
    outer_w, outer_h = w + 4, h + 4
    check.equal(shot.getpixel((144, 100)), YELLOW, "left of the drawing box")
    check.that(shot.getpixel((145, 100)) != YELLOW, "the drawing box starts at x = 145")
    check.equal(shot.getpixel((200, 25)), YELLOW, "above the drawing box")
    check.equal(shot.getpixel((145 + outer_w, 100)), YELLOW, "right of the drawing box")

    # The end and print buttons under it, each half its width, 35 high.
    top = 26 + outer_h
    half = round(outer_w / 2)
    for name, left in (("Fine", 145), ("Stampa", 145 + outer_w - half)):
        check.equal(shot.getpixel((left + 4, top + 4)), WHITE, f"{name} face at its corner")
        check.equal(shot.getpixel((left + half // 2, top + 35)), YELLOW, f"below {name}")
        check.that(shot.getpixel((left + half // 2, top + 34)) != YELLOW,
                   f"{name} is 35 pixels high")
    check.equal(shot.getpixel((145 + outer_w, top + 10)), YELLOW, "right of Stampa")
    check.equal(shot.getpixel((144, top + 10)), YELLOW, "left of Fine")

    # The picture list from (505, 26) to (635, 456).
    check.equal(shot.getpixel((504, 200)), YELLOW, "left of the list")
    check.that(shot.getpixel((505, 200)) != YELLOW, "the list starts at x = 505")
    check.that(shot.getpixel((634, 200)) != YELLOW, "the list reaches x = 634")
    check.equal(shot.getpixel((635, 200)), YELLOW, "right of the list")
    check.that(shot.getpixel((560, 455)) != YELLOW, "the list reaches y = 455")
    check.equal(shot.getpixel((560, 456)), YELLOW, "below the list")
    return shot


def check_sizes(check, display):
    for size in (8, 16, 32, 4):
        display.click(*(p + 6 for p in OPTIONS[size]))
        wait_until(lambda: display.screenshot().getpixel(
            (swatch_rect(size, size)[0] + 3, swatch_rect(size, size)[1] + 3))
            == rgb(PALETTE[size - 1]), what=f"the {size}-colour palette")
        shot = display.screenshot()
        check_palette(check, shot, size, f"{size} colours")
        if size == 4:
            check.equal(region(shot, 130, 150, 14, 270), {YELLOW},
                        "no swatch of the larger palettes is left over")


def centre(size, k):
    left, top, width, height = swatch_rect(size, k)
    return left + width // 2, top + height // 2


def check_choosing(check, display, cue_folder, pulse):
    pulse.record_start()
    display.click(*centre(4, 3))
    display.click(*centre(4, 2))
    wait_until(lambda: display.screenshot().getpixel(centre(4, 2)) != rgb(PALETTE[1]),
               what="the tick on swatch 2")
    recording = pulse.record_stop(settle=1.5)
    shot = display.screenshot()
    left, top, width, height = swatch_rect(4, 2)
    check.that(region(shot, left + 2, top + 2, 10, 10) == {rgb(PALETTE[1])},
               "the chosen swatch keeps its red around the tick")
    check.that(shot.getpixel(centre(4, 2)) != rgb(PALETTE[1]), "swatch 2 shows the tick")
    left, top, width, height = swatch_rect(4, 3)
    check.equal(region(shot, left + 2, top + 2, width - 4, height - 4), {rgb(PALETTE[2])},
                "swatch 3 is plain green again")
    heard = sequence(recording, {"colori": os.path.join(cue_folder, "colori.wav")})
    check.equal(heard, ["colori", "colori"], "both swatch clicks are heard complete, in turn")


def main():
    args = arguments()
    app = program_folder(args.app)
    folder = os.path.dirname(app)
    gif = os.path.join(folder, "Gif", "cromello.gif")
    check = Checks()
    layouts = {}
    for wm in (False, True):
        with Display(wm=wm) as display, PrivatePulse() as pulse:
            with App(app, display, env={"PULSE_SERVER": pulse.env["PULSE_SERVER"]}) as sheet:
                time.sleep(0.3)  # a window manager sends one more resize
                layouts[wm] = check_startup(check, display, sheet.window, gif).crop((0, 0, 700, 620))
                if wm:
                    continue
                check_choosing(check, display, os.path.join(folder, "Suoni"), pulse)
                check_sizes(check, display)
    check.that(list(layouts[False].getdata()) == list(layouts[True].getdata()),
               "with and without a window manager the sheet is laid out alike")
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
