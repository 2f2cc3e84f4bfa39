"""A long random session with the real program: is it still alive, and does it grow?

    /usr/bin/python3 bench/soak.py --app build/tingolamo [--minutes 10] [--seed 1]

Starts the program under a private Xvfb with a private PulseAudio server and
a private CUPS printer (needs root, as the print tests do), then for the
given time sends random clicks (swatches, palette sizes, list lines, the
drawing with any button, the print button) and keys (arrows, Tab, Escape,
Home, End, Page Down, letters). Before each event it waits while a cue is
playing, so that input never piles up faster than the program plays its
cues. The resident set is read from /proc every 10 s.

The end button is left alone until the very end: its farewell window ends the
program on any click. Should the program end earlier anyway, it is started
again and the restart counted. At the end the script checks that the program
is alive and answering (a red fill shows on the drawing), then leaves it through the
end button and the farewell window and checks that it ends with status 0.
"""

import argparse
import collections
import os
import random
import subprocess
import sys
import time

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from cups import PrivateCups  # noqa: E402
from harness import App, Display, YELLOW, program_folder, wait_until  # noqa: E402
from pulse import PrivatePulse  # noqa: E402

SAMPLE_SECONDS = 10
OPTIONS = [(50, 58), (106, 58), (50, 98), (106, 98)]  # 4, 8, 16, 32 colours
SWATCHES = (25, 150, 131, 422)  # left, top, right, bottom of every palette's grid
LIST = (507, 30, 633, 452)
KEYS = ["Up", "Down", "Left", "Right", "Tab", "shift+Tab", "Escape", "Home", "End",
        "Next", "a", "1"]
FAREWELL = (425 + 210, 362 + 10)  # the farewell window's background


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS")


def dialogs(display):
    found = display.run("xdotool", "search", "--onlyvisible", "--name", "^TINGOLAMO$",
                        check=False).stdout.split()
    return max(0, len(found) - 1)


class Session:
    """The program and what was done to it."""

    def __init__(self, app, display, env, rng):
        self.app = app
        self.display = display
        self.env = env
        self.rng = rng
        self.sent = collections.Counter()
        self.restarts = 0
        self.samples = []  # (seconds since start, KiB) of the first instance
        self.program = None
        width, height = Image.open(os.path.join(os.path.dirname(app), "Gif",
                                                "cromello.gif")).size
        self.box = (147, 28, 147 + width, 28 + height)
        half = round((width + 4) / 2)
        self.fine = (145 + half // 2, 26 + height + 4 + 17)
        self.stampa = (145 + half + half // 2, 26 + height + 4 + 17)

    def start(self):
        self.program = App(self.app, self.display, env=self.env).__enter__()

    def stop(self):
        if self.program:
            self.program.__exit__()

    def alive(self):
        return self.program.proc.poll() is None

    def cue_playing(self):
        result = subprocess.run(["pactl", "list", "short", "sink-inputs"], env=self.env,
                                capture_output=True, timeout=10)
        return result.stdout.strip() != b""

    def wait_for_quiet(self, limit=5.0):
        deadline = time.monotonic() + limit
        while self.cue_playing() and time.monotonic() < deadline:
            time.sleep(0.05)

    def click(self, kind, x, y, button=1):
        self.sent[kind] += 1
        self.display.run("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def one_event(self):
        rng = self.rng
        pick = rng.random()
        if pick < 0.30:
            self.click("drawing", rng.randint(self.box[0], self.box[2]),
                       rng.randint(self.box[1], self.box[3]), rng.choice([1, 1, 1, 2, 3]))
        elif pick < 0.55:
            self.click("swatch", rng.randint(SWATCHES[0], SWATCHES[2]),
                       rng.randint(SWATCHES[1], SWATCHES[3]))
        elif pick < 0.65:
            self.click("size", *rng.choice(OPTIONS))
        elif pick < 0.80:
            self.click("list", rng.randint(LIST[0], LIST[2]), rng.randint(LIST[1], LIST[3]))
        elif pick < 0.82:
            self.click("print", *self.stampa)
        else:
            self.sent["key"] += 1
            self.display.run("xdotool", "key", rng.choice(KEYS))

    def run_for(self, seconds):
        start = time.monotonic()
        next_sample = start
        while time.monotonic() - start < seconds:
            if not self.alive():
                self.restarts += 1
                self.start()
            if time.monotonic() >= next_sample:
                if self.restarts == 0:
                    self.samples.append((time.monotonic() - start, rss_kib(self.program.proc.pid)))
                next_sample += SAMPLE_SECONDS
                if dialogs(self.display):
                    self.display.run("xdotool", "key", "Escape")
            self.wait_for_quiet()
            self.one_event()
            time.sleep(0.05)
        if self.restarts == 0 and self.alive():
            self.samples.append((time.monotonic() - start, rss_kib(self.program.proc.pid)))

    def answers(self):
        """Alive, no message left open, and a fill in red shows on the drawing."""
        while dialogs(self.display):
            self.display.run("xdotool", "key", "Escape")
            time.sleep(0.5)
        self.display.run("xdotool", "mousemove", *map(str, OPTIONS[0]), "click", "1")
        self.display.run("xdotool", "mousemove", "75", "248", "click", "1")  # red, of four
        self.wait_for_quiet(30)
        shot = self.display.screenshot()
        red = (255, 0, 0)
        spots = [(x, y) for x in range(self.box[0] + 2, self.box[2] - 2, 7)
                 for y in range(self.box[1] + 2, self.box[3] - 2, 7)
                 if shot.getpixel((x, y)) not in (YELLOW, (0, 0, 0), red)]
        if not self.alive() or not spots:
            return False
        spot = self.rng.choice(spots)
        self.display.run("xdotool", "mousemove", *map(str, spot), "click", "1")
        try:
            wait_until(lambda: self.display.screenshot().getpixel(spot) == red, timeout=30,
                       what="the last fill")
        except AssertionError:
            return False
        return self.alive()

    def leave(self):
        self.display.run("xdotool", "mousemove", *map(str, self.fine), "click", "1")
        wait_until(lambda: self.display.run("xdotool", "search", "--onlyvisible", "--name",
                                            "^Info$", check=False).returncode == 0,
                   timeout=30, what="the farewell window")
        self.display.run("xdotool", "mousemove", *map(str, FAREWELL), "click", "1")
        return self.program.wait_exit(10)


def mib(kib):
    return kib / 1024


def report(session, seconds):
    events = sum(session.sent.values())
    print(f"{events} events in {seconds / 60:.1f} min: "
          + ", ".join(f"{kind} {count}" for kind, count in sorted(session.sent.items())))
    print(f"restarts: {session.restarts}")
    samples = session.samples
    if not samples:
        return False
    values = [kib for _, kib in samples]
    after_minute = [kib for at, kib in samples if at >= 60] or values[-1:]
    minute = after_minute[0]
    print(f"RSS: start {mib(values[0]):.1f} MiB, at 1 min {mib(minute):.1f}, end "
          f"{mib(values[-1]):.1f}, peak {mib(max(values)):.1f} over {len(values)} samples")
    growth = max(after_minute) - minute
    print(f"growth after the first minute: {mib(growth):.2f} MiB (peak), "
          f"{mib(values[-1] - minute):.2f} MiB (end)")
    print("samples (s, MiB): " + " ".join(f"{at:.0f}:{mib(kib):.1f}" for at, kib in samples))
    return growth <= 2 * 1024


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    app = program_folder(args.app)
    rng = random.Random(args.seed)
    seconds = args.minutes * 60
    with Display() as display, PrivatePulse() as pulse, PrivateCups() as cups:
        env = {name: pulse.env[name] for name in ("PULSE_SERVER", "PULSE_SINK")}
        env.update({name: cups.env[name] for name in ("CUPS_SERVER", "HOME")})
        session = Session(app, display, env, rng)
        session.start()
        try:
            session.run_for(seconds)
            answering = session.answers()
            print(f"alive and answering at the end: {answering}")
            code = session.leave() if answering else None
            print(f"the farewell window ended the program with status {code}")
            print(f"print jobs received: {len(cups.jobs())}")
        finally:
            session.stop()
    within = report(session, seconds)
    return 0 if answering and code == 0 and within and session.restarts == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
