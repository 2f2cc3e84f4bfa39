"""Start-up time to the first painted frame, and peak memory, of the real program.

    python3 bench/startup.py --app build/tingolamo [--app other/tingolamo] [--runs 10]

Runs the program under a private Xvfb, watches the screen through Xlib for the
sheet's yellow and the default drawing's outline, and reports the median
time from the start of the process to that frame, plus the peak resident set
size as /usr/bin/time -v reports it. Given several programs (a build before
and after a change), it takes their runs in turn, so that a slow moment of
the machine falls on all of them alike.
"""

import argparse
import ctypes
import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from harness import Display  # noqa: E402

xlib = ctypes.CDLL("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XGetImage.restype = ctypes.c_void_p
xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                           ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
xlib.XGetPixel.restype = ctypes.c_ulong
xlib.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
xlib.XDestroyImage = None  # a macro in C; the images are tiny and few
ALL_PLANES, Z_PIXMAP = 0xFFFFFFFF, 2


class Screen:
    def __init__(self, name):
        self.display = xlib.XOpenDisplay(name.encode())
        self.root = xlib.XDefaultRootWindow(self.display)

    def pixel(self, x, y):
        image = xlib.XGetImage(self.display, self.root, x, y, 1, 1, ALL_PLANES, Z_PIXMAP)
        return xlib.XGetPixel(image, 0, 0) & 0xFFFFFF


def first_frame(app, display, screen):
    """Seconds from starting the program to its first complete frame, and its peak RSS."""
    start = time.monotonic()
    proc = subprocess.Popen(["/usr/bin/time", "-v", app], env=display.env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    yellow, white = 0xFFFFC0, 0xFFFFFF
    while not (screen.pixel(1279, 1023) == yellow and screen.pixel(25 + 50, 150 + 30) == 0x0000FF
               and screen.pixel(147 + 10, 28 + 10) in (white, 0)):
        if time.monotonic() - start > 20:
            raise RuntimeError("no frame within 20 s")
        time.sleep(0.001)
    elapsed = time.monotonic() - start
    time.sleep(0.3)
    children = subprocess.run(["pgrep", "-P", str(proc.pid)], capture_output=True, text=True)
    for child in children.stdout.split():
        os.kill(int(child), 15)
    _, err = proc.communicate(timeout=10)
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", err.decode()).group(1))
    # Let the server forget the old window before the next run.
    while screen.pixel(1279, 1023) == yellow:
        time.sleep(0.01)
    return elapsed, rss


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True, action="append")
    parser.add_argument("--runs", type=int, default=10)
    args = parser.parse_args()
    results = {app: [] for app in args.app}
    with Display() as display:
        screen = Screen(display.env["DISPLAY"])
        for app in args.app:
            first_frame(app, display, screen)  # warm the file cache
        for _ in range(args.runs):
            for app in args.app:
                results[app].append(first_frame(app, display, screen))
    for app, runs in results.items():
        times = sorted(r[0] * 1000 for r in runs)
        rss = sorted(r[1] / 1024 for r in runs)
        print(app)
        print(f"  first frame: median {statistics.median(times):.0f} ms "
              f"(min {times[0]:.0f}, max {times[-1]:.0f}) over {args.runs} runs")
        print(f"  peak RSS: median {statistics.median(rss):.1f} MiB (max {rss[-1]:.1f})")


if __name__ == "__main__":
    main()
