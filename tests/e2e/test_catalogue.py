"""The picture list in the real program: what it lists, in what order, and loading."""

import os
import sys
import time

from cues import heard
from drawings import boxes, plain
from harness import App, Checks, Display, YELLOW, arguments, program_folder, wait_until
from pulse import PrivatePulse

TOP = 28  # first row of the drawing on screen
FIRST_ROW = (560, 38)
BUTTONS = (145, 190, 389, 225)  # the end and print buttons under the 240 x 160 drawing


def drawing_width(shot):
    """The width of the picture in the drawing box, read off the screen."""
    x = 145
    while shot.getpixel((x, TOP + 3)) != YELLOW:
        x += 1
    return x - 145 - 4


def dialogs(display):
    found = display.run("xdotool", "search", "--onlyvisible", "--name", "^TINGOLAMO$",
                        check=False).stdout.split()
    return len(found) - 1


def main():
    args = arguments()
    start, points = boxes()  # 240 wide
    whole = plain(200, 150)
    gifs = [
        ("cromello.gif", start),
        ("a.Gif", plain(100, 90)),
        ("b10.gif", plain(180, 120)),
        ("b2.GIF", plain(300, 200)),
        ("strano\udcff.gif", plain(130, 100)),  # a name that is not UTF-8
        ("rotto.gif", whole[: len(whole) // 2]),
        ("vuoto.gif", b""),
        ("testo.gif", "Questo non è un disegno.\n".encode()),
        ("enorme.gif", b"GIF89a\x60\xea\x60\xea\x00\x00\x00,\x00\x00\x00\x00\x60\xea\x60\xea\x00\x02"),
        ("sparito.gif", plain(110, 90)),
        ("nota.png", plain(120, 90)),
    ]
    app = program_folder(args.app, gifs=gifs)
    folder = os.path.dirname(app)
    os.mkdir(os.path.join(folder, "Gif", "cartella.gif"))
    disegno = os.path.join(folder, "Suoni", "disegno.wav")
    # Expected list: natural order, every .gif file whatever its case, nothing else.
    walk = [("a.Gif", 100), ("b2.GIF", 300), ("b10.gif", 180), ("cromello.gif", 240),
            ("enorme.gif", None), ("rotto.gif", None), ("sparito.gif", None),
            ("strano\udcff.gif", 130), ("testo.gif", None), ("vuoto.gif", None)]

    check = Checks()
    with Display(wm=True) as display, PrivatePulse() as pulse:
        with App(app, display, env={"PULSE_SERVER": pulse.env["PULSE_SERVER"]}):
            os.remove(os.path.join(folder, "Gif", "sparito.gif"))
            with open(os.path.join(folder, "Gif", "nuovo.gif"), "wb") as late:
                late.write(plain(150, 90))
            buttons = display.screenshot().crop(BUTTONS)
            pulse.record_start()
            display.click(147 + points["left"][0], TOP + points["left"][1])  # colour an area
            time.sleep(0.8)

            loads = 0
            for row, (name, width) in enumerate(walk):
                before = display.screenshot()
                if row == 0:
                    display.click(*FIRST_ROW)
                else:
                    display.key("Down")
                if width is None:
                    wait_until(lambda: dialogs(display) == 1, what=f"the message about {name}")
                    after = display.screenshot()
                    check.that(list(before.crop((140, 20, 500, 400)).getdata())
                               == list(after.crop((140, 20, 500, 400)).getdata()),
                               f"{name!r} fails and leaves the drawing and its colouring")
                    display.key("Escape")
                    wait_until(lambda: dialogs(display) == 0, what="the message to close")
                    continue
                loads += 1
                wait_until(lambda: drawing_width(display.screenshot()) == width,
                           what=f"{name!r} ({width} wide) to show")
                shot = display.screenshot()
                check.equal(shot.getpixel((147 + width // 4, TOP + 30)), (255, 255, 255),
                            f"{name!r} shows without the earlier colouring")
                check.that(list(shot.crop(BUTTONS).getdata()) == list(buttons.getdata()),
                           f"the buttons stay put after {name!r}")
                time.sleep(0.8)

            # The list ends there: the late file was never listed.
            last = display.screenshot()
            display.key("Down")
            time.sleep(0.8)
            check.equal(dialogs(display), 0, "nothing follows the last line")
            check.that(list(display.screenshot().getdata()) == list(last.getdata()),
                       "the late file is not in the list")
            recording = pulse.record_stop()
            check.equal(len(heard(recording, disegno)), loads,
                        "one picture cue for each drawing loaded, none for a failure")
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
