"""A listed drawing turned into a named pipe after the list was read.

Opening a pipe that nobody writes to waits for ever; the program must answer
with its message at once, keep the drawing and its colouring, and go on
loading and filling.
"""

import os
import sys
import time

from drawings import boxes, plain
from harness import App, Checks, Display, YELLOW, arguments, program_folder, wait_until

TOP = 28
FIRST_ROW = (560, 38)
BLUE = (0, 0, 255)  # the first swatch's colour, the fill colour at start
ANSWER_BOUND = 3.0  # seconds from the key to the message


def dialogs(display):
    found = display.run("xdotool", "search", "--onlyvisible", "--name", "^TINGOLAMO$",
                        check=False).stdout.split()
    return len(found) - 1


def drawing_width(shot):
    """The width of the picture in the drawing box, read off the screen."""
    x = 145
    while shot.getpixel((x, TOP + 3)) != YELLOW:
        x += 1
    return x - 145 - 4


def drawing(display):
    return list(display.screenshot().crop((140, 20, 500, 400)).getdata())


def main():
    args = arguments()
    start, points = boxes()
    app = program_folder(args.app, gifs=[("cromello.gif", start), ("pipa.gif", plain(200, 150)),
                                         ("ultimo.gif", plain(180, 120))], cues=False)
    pipe = os.path.join(os.path.dirname(app), "Gif", "pipa.gif")

    check = Checks()
    with Display(wm=True) as display, App(app, display):
        os.remove(pipe)
        os.mkfifo(pipe)
        display.click(*FIRST_ROW)
        left = (147 + points["left"][0], TOP + points["left"][1])
        display.click(*left)
        wait_until(lambda: display.screenshot().getpixel(left) == BLUE, what="the first fill")
        display.click(*FIRST_ROW)  # the list takes the focus back; the row stays chosen
        before = drawing(display)

        began = time.monotonic()
        display.key("Down")
        wait_until(lambda: dialogs(display) == 1, timeout=ANSWER_BOUND,
                   what="the message about the pipe")
        print(f"message after {time.monotonic() - began:.2f} s")
        check.that(drawing(display) == before, "the drawing and its colouring stay")
        display.key("Escape")
        wait_until(lambda: dialogs(display) == 0, what="the message to close")

        display.key("Down")
        wait_until(lambda: drawing_width(display.screenshot()) == 180,
                   what="the next drawing to show")
        inside = (147 + 90, TOP + 60)
        display.click(*inside)
        wait_until(lambda: display.screenshot().getpixel(inside) == BLUE,
                   what="the fill on the next drawing")
        check.equal(dialogs(display), 0, "no message after the pipe")
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
