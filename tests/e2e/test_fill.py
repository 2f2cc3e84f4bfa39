"""The fill tool in the real program: releases over the drawing, on screen and heard."""

import os
import subprocess
import sys
import time

from cues import heard
from drawings import boxes
from harness import App, BLACK, Checks, Display, YELLOW, arguments, program_folder, wait_until
from pulse import PrivatePulse

BOX = (147, 28)  # the drawing's top-left pixel on screen
BLUE, RED, GREEN, WHITE = (0, 0, 255), (255, 0, 0), (0, 255, 0), (255, 255, 255)
SWATCH = {1: (75, 182), 2: (75, 248), 3: (75, 314)}


def screen(point):
    return BOX[0] + point[0], BOX[1] + point[1]


class Sheet:
    def __init__(self, display, points):
        self.display = display
        self.points = points

    def colour(self, name):
        return self.display.screenshot().getpixel(screen(self.points[name]))

    def colours(self):
        shot = self.display.screenshot()
        return {name: shot.getpixel(screen(p)) for name, p in self.points.items()}

    def wait_colour(self, name, colour):
        wait_until(lambda: self.colour(name) == colour, what=f"{name} to turn {colour}")


def loaded(program, library):
    """Whether the running program has `library` mapped."""
    with open(f"/proc/{program.proc.pid}/maps") as maps:
        return library in maps.read()


def settle(display):
    """Lets the program finish what it is doing (a cue lasts well under a second)."""
    time.sleep(0.9)


def main():
    args = arguments()
    drawing, points = boxes()
    app = program_folder(args.app, gifs=[("cromello.gif", drawing)])
    riempi = os.path.join(os.path.dirname(app), "Suoni", "riempi.wav")
    check = Checks()
    with Display(wm=True) as display, PrivatePulse() as pulse:
        with App(app, display, env={"PULSE_SERVER": pulse.env["PULSE_SERVER"]}) as program:
            sheet = Sheet(display, points)
            # Start-up loads neither the cue player's libraries nor printing's.
            check.equal([name for name in ("libsndfile", "libpulse", "libcups", "PrintSupport")
                         if loaded(program, name)], [], "libraries loaded at start")
            check.equal(sheet.colours(), {"left": WHITE, "right": WHITE, "square": WHITE,
                                          "wall": BLACK}, "the test drawing at start")
            # The sheet names the format of every picture it shows, so the first
            # frame loads the GIF plug-in and no other.
            check.equal([name for name in ("libqsvg", "libqjpeg", "libqico")
                         if loaded(program, name)], [], "image plug-ins loaded at start")
            pulse.record_start()

            # Before any swatch is chosen the fill is blue.
            display.click(*screen(points["left"]))
            sheet.wait_colour("left", BLUE)
            check.equal(sheet.colours(), {"left": BLUE, "right": WHITE, "square": WHITE,
                                          "wall": BLACK}, "a release fills one area in blue")
            settle(display)
            check.equal(len(heard(pulse.record_stop(), riempi)), 1, "the fill cue, once")
            check.that(loaded(program, "libsndfile"), "the first cue loads the cue player")

            pulse.record_start()
            display.click(*SWATCH[2])  # red
            settle(display)
            display.click(*screen(points["right"]), button=3)
            sheet.wait_colour("right", RED)
            check.equal(sheet.colour("square"), WHITE, "a closed square inside stays white")
            display.click(*screen(points["left"]), modifiers=("shift",))
            sheet.wait_colour("left", RED)
            display.click(*screen(points["square"]), button=2, modifiers=("ctrl",))
            sheet.wait_colour("square", RED)
            before = display.screenshot()
            display.click(*screen(points["wall"]))  # on black: nothing is painted
            settle(display)
            after = display.screenshot()
            check.that(list(before.getdata()) == list(after.getdata()),
                       "a release on the outline changes nothing")
            check.equal(len(heard(pulse.record_stop(), riempi)), 4,
                        "every release on the drawing plays the fill cue")

            # Press inside, release outside: nothing painted, the cue plays.
            pulse.record_start()
            display.click(*SWATCH[3])  # green
            settle(display)
            display.press(*screen(points["left"]))
            display.release(700, 700)
            settle(display)
            check.equal(sheet.colour("left"), RED, "a release outside the box paints nothing")
            check.equal(len(heard(pulse.record_stop(), riempi)), 1,
                        "a release outside after a press inside still plays the cue")

            # Press on a swatch, release on the drawing: nothing at all.
            pulse.record_start()
            display.press(*SWATCH[1])
            display.release(*screen(points["left"]))
            settle(display)
            check.equal(sheet.colour("left"), RED, "a press begun elsewhere fills nothing")
            check.equal(heard(pulse.record_stop(), riempi), [], "and plays no cue")

            # Another window over the drawing and away again: the colouring stays.
            cover = subprocess.Popen(["xmessage", "-geometry", "400x300+120+10", "copre"],
                                     env=display.env)
            wait_until(lambda: display.screenshot().getpixel(screen(points["left"])) != RED,
                       what="the covering window")
            cover.terminate()
            cover.wait(5)
            sheet.wait_colour("left", RED)
            check.equal(sheet.colours(), {"left": RED, "right": RED, "square": RED,
                                          "wall": BLACK},
                        "the colouring survives being covered")
            check.equal(display.screenshot().getpixel((20, 600)), YELLOW, "the sheet is intact")
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
