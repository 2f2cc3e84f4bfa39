"""What a large drawing costs the real program: answer time and resident memory.

    /usr/bin/python3 bench/picture_cost.py --app build/tingolamo

For each costly drawing (a 4000 x 4000 page, the largest page the loader
admits, 10 and 100 frames of 5792 x 5792, and one pixel more than the limit)
the script starts the program under a private Xvfb with a program folder of
three drawings: a small one, the costly one, another small one. It selects the
first, then moves down the list with the keyboard: the time from the key to
the answer on screen (the box grown over a watched pixel, or the message), the
resident set before, the peak (VmHWM) and the resident set while the costly
drawing is shown with one area filled, and the resident set once the next
small drawing has replaced it.
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from costly_gifs import animated  # noqa: E402
from drawings import plain  # noqa: E402
from harness import App, Display, program_folder, wait_until  # noqa: E402
from startup import Screen  # noqa: E402

FIRST_ROW = (560, 38)
WATCH = (147 + 300, 28 + 300)  # right of a small drawing, inside a large one
YELLOW = 0xFFFFC0
BLUE = 0x0000FF  # the first swatch, the fill colour at start


def memory(pid):
    """VmRSS and VmHWM of the process, in MiB."""
    values = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            name, _, rest = line.partition(":")
            if name in ("VmRSS", "VmHWM"):
                values[name] = int(rest.split()[0]) / 1024
    return values["VmRSS"], values["VmHWM"]


def dialogs(display):
    found = display.run("xdotool", "search", "--onlyvisible", "--name", "^TINGOLAMO$",
                        check=False).stdout.split()
    return len(found) - 1


def measure(app_path, name, data):
    gifs = [("cromello.gif", plain(240, 160)), ("d.gif", data), ("e.gif", plain(200, 150))]
    app = program_folder(app_path, gifs=gifs, cues=False)
    with Display() as display, App(app, display) as program:
        screen = Screen(display.env["DISPLAY"])
        pid = program.proc.pid
        display.click(*FIRST_ROW)
        wait_until(lambda: screen.pixel(*WATCH) == YELLOW, what="the first small drawing")
        time.sleep(1)
        before, _ = memory(pid)
        start = time.monotonic()
        display.key("Down")
        while screen.pixel(*WATCH) == YELLOW and dialogs(display) == 0:
            if time.monotonic() - start > 300:
                raise RuntimeError("no answer within 300 s")
            time.sleep(0.005)
        answer = time.monotonic() - start
        refused = dialogs(display) > 0
        if not refused:
            display.click(147 + 100, 28 + 100)  # fill the first strip, which holds WATCH
            wait_until(lambda: screen.pixel(*WATCH) == BLUE, timeout=120, what="the fill")
            display.key("shift+Tab")  # the focus back from the drawing to the list
        time.sleep(1)
        shown, peak = memory(pid)
        if refused:
            display.key("Escape")
            wait_until(lambda: dialogs(display) == 0, what="the message to close")
        display.key("Down")
        wait_until(lambda: screen.pixel(*WATCH) == YELLOW, timeout=60, what="the next drawing")
        time.sleep(1)
        after, _ = memory(pid)
    outcome = "refused" if refused else "shown"
    print(f"{name:32} {outcome:8} answer {answer:6.2f} s   RSS before {before:6.1f} MiB, "
          f"peak {peak:6.1f}, while shown {shown:6.1f}, after the next drawing {after:6.1f}",
          flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--largest", type=int, default=5792,
                        help="side of the largest square page the loader admits")
    args = parser.parse_args()
    side = args.largest
    cases = [
        ("4000 x 4000, 1 frame", animated(4000, 4000, 1)),
        (f"{side} x {side}, 1 frame", animated(side, side, 1)),
        ("5792 x 5792, 10 frames", animated(5792, 5792, 10)),
        ("5792 x 5792, 100 frames", animated(5792, 5792, 100)),
        (f"{side + 1} x {side + 1}, 1 frame", animated(side + 1, side + 1, 1)),
    ]
    for name, data in cases:
        measure(args.app, name, data)


if __name__ == "__main__":
    main()
