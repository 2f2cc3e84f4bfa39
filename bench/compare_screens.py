"""Whether two builds show the same screens: the sheet at start, after a swatch
click, at 32 colours, and the farewell window.

    python3 bench/compare_screens.py --before old/tingolamo --after build/tingolamo \
        [--scale 2] [--accessible]

Runs each build under its own Xvfb with the same drawings and steps, takes a
screenshot after each step and reports, per step, how many pixels differ and
the box around them. --accessible runs both with Qt's accessibility switched
on and a session bus, as under a screen reader. --scale sets QT_SCALE_FACTOR;
at 2 the end button lies below the 1024-pixel screen's edge, so the last
step then shows the sheet once more.
"""

import argparse
import os
import subprocess
import sys
import time

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from harness import App, Display, program_folder  # noqa: E402

STEPS = [
    ("start", None),
    ("swatch 2 chosen", (75, 216 + 32)),
    ("32 colours", (26 + 64 + 6, 26 + 64 + 6)),
    ("farewell window", "end"),
]


def shots(app, scale, accessible):
    folder = program_folder(app)
    with Image.open(os.path.join(os.path.dirname(folder), "Gif", "cromello.gif")) as drawing:
        drawing_height = drawing.height
    taken = []
    with Display() as display:
        env = {"QT_SCALE_FACTOR": str(scale)}
        bus = None
        if accessible:
            bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                   env=display.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
            env.update(DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip(),
                       QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        try:
            with App(folder, display, env=env):
                for name, action in STEPS:
                    if action == "end":
                        # The end button sits at the left under the drawing box.
                        display.click(155 * scale, (26 + drawing_height + 4 + 10) * scale)
                    elif action:
                        display.click(action[0] * scale, action[1] * scale)
                    time.sleep(1.5)
                    taken.append((name, display.screenshot()))
        finally:
            if bus:
                bus.terminate()
                bus.wait(5)
    return taken


def difference(a, b):
    changed = [(x, y) for y in range(a.height) for x in range(a.width)
               if a.getpixel((x, y)) != b.getpixel((x, y))]
    if not changed:
        return 0, None
    xs, ys = [p[0] for p in changed], [p[1] for p in changed]
    return len(changed), (min(xs), min(ys), max(xs), max(ys))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--before", required=True)
    parser.add_argument("--after", required=True)
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("--accessible", action="store_true")
    args = parser.parse_args()
    before = shots(args.before, args.scale, args.accessible)
    after = shots(args.after, args.scale, args.accessible)
    for (name, a), (_, b) in zip(before, after):
        count, box = difference(a, b)
        print(f"{name:16} {count:7d} pixels differ" + (f", within {box}" if box else ""))


if __name__ == "__main__":
    main()
