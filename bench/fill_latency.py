"""Time from a mouse release on the drawing to the filled area on screen.

    python3 bench/fill_latency.py --app build/tingolamo [--runs 10]

Uses a 355 x 560 page and a 4096 x 4096 page (both one open area inside a
frame), each as the default drawing of a private program folder, releases the
button over it with XTest and watches a pixel far from the pointer through
Xlib until it shows the fill colour.
"""

import argparse
import ctypes
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from drawings import plain  # noqa: E402
from harness import App, Display, program_folder  # noqa: E402
from startup import Screen  # noqa: E402

xtst = ctypes.CDLL("libXtst.so.6")
xlib = ctypes.CDLL("libX11.so.6")
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_ulong]
xlib.XFlush.argtypes = [ctypes.c_void_p]

BLUE, RED = 0x0000FF, 0xFF0000


def one_release(screen, x, y, watch, colour):
    xtst.XTestFakeMotionEvent(screen.display, -1, x, y, 0)
    xtst.XTestFakeButtonEvent(screen.display, 1, True, 0)
    xlib.XFlush(screen.display)
    time.sleep(0.05)
    start = time.monotonic()
    xtst.XTestFakeButtonEvent(screen.display, 1, False, 0)
    xlib.XFlush(screen.display)
    while screen.pixel(*watch) != colour:
        time.sleep(0.0002)
    return time.monotonic() - start


def measure(app_path, size, runs):
    app = program_folder(app_path, gifs=[("cromello.gif", plain(*size, border=4))], cues=False)
    watch = (147 + min(size[0], 1100) - 20, 28 + min(size[1], 990) - 20)
    times = []
    with Display() as display, App(app, display) as _:
        screen = Screen(display.env["DISPLAY"])
        swatches = {BLUE: (75, 182), RED: (75, 248)}
        for run in range(runs):
            colour = RED if run % 2 == 0 else BLUE
            subprocess.run(["xdotool", "mousemove", "--sync", *map(str, swatches[colour]),
                            "click", "1"], env=display.env, check=True)
            time.sleep(0.2)
            times.append(one_release(screen, 160, 40, watch, colour))
            time.sleep(0.2)
    return sorted(t * 1000 for t in times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--runs", type=int, default=10)
    args = parser.parse_args()
    for size in ((355, 560), (4096, 4096)):
        times = measure(args.app, size, args.runs)
        print(f"{size[0]} x {size[1]}: release to screen median {statistics.median(times):.1f} ms "
              f"(min {times[0]:.1f}, max {times[-1]:.1f}) over {args.runs} fills")


if __name__ == "__main__":
    main()
