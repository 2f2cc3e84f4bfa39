"""Start-up without a readable default drawing: one message, the sheet still whole."""

import sys
import time

from drawings import plain
from harness import App, Checks, Display, YELLOW, arguments, program_folder, wait_until

DESIGN_BOX = (145, 185)  # the empty drawing box keeps its design size


def windows(display, title):
    return display.run("xdotool", "search", "--onlyvisible", "--name", title,
                       check=False).stdout.split()


def run(check, app_path, gifs, label):
    app = program_folder(app_path, gifs=gifs, cues=False)
    with Display(wm=True) as display, App(app, display) as sheet:
        wait_until(lambda: len(windows(display, "^TINGOLAMO$")) == 2,
                   what=f"{label}: the message")
        shot = display.screenshot()
        check.that(sheet.proc.poll() is None, f"{label}: the program keeps running")
        # Behind the message the layout pass has run to its end.
        check.equal(shot.getpixel((504, 200)), YELLOW, f"{label}: left of the list")
        check.that(shot.getpixel((505, 200)) != YELLOW, f"{label}: the list at x = 505")
        w, h = DESIGN_BOX
        check.that(shot.getpixel((150, 26 + h + 10)) != YELLOW,
                   f"{label}: the end button under the empty box")
        check.equal(shot.getpixel((145 + w, 26 + h + 10)), YELLOW,
                    f"{label}: the buttons together as wide as the box")
        check.equal(shot.getpixel((75, 182)), (0, 0, 255), f"{label}: the palette is built")
        display.key("Return")
        wait_until(lambda: len(windows(display, "^TINGOLAMO$")) == 1,
                   what=f"{label}: the message to close")
        # Another drawing can still be chosen from the list.
        display.click(560, 38)
        wait_until(lambda: display.screenshot().getpixel((147 + 100, 28 + 20)) == (255, 255, 255)
                   and display.screenshot().getpixel((147 + 200 + 4, 40)) == YELLOW,
                   what=f"{label}: the chosen drawing")
        time.sleep(0.3)
        check.equal(len(windows(display, "^TINGOLAMO$")), 1, f"{label}: no further message")


def main():
    args = arguments()
    check = Checks()
    other = ("altro.gif", plain(200, 150))
    run(check, args.app, [other], "missing")
    run(check, args.app, [("cromello.gif", b"GIF89a rovinato"), other], "damaged")
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
