"""Runs the real program under a private X server and looks at the screen.

Everything here is started for one test and stopped with it: an Xvfb server
(optionally with openbox as window manager) and the program itself.
"""

import argparse
import io
import os
import shutil
import signal
import subprocess
import tempfile
import time

from PIL import Image

WIDTH, HEIGHT = 1280, 1024
YELLOW = (255, 255, 192)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True, help="the built tingolamo executable")
    return parser.parse_args()


def wait_until(condition, timeout=10.0, step=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(step)


class Display:
    """A private Xvfb screen of 1280 x 1024, with openbox when wm=True."""

    def __init__(self, wm=False):
        self.wm = wm
        self.env = {}
        self._xvfb = None
        self._openbox = None
        self._runtime = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{WIDTH}x{HEIGHT}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self._runtime = tempfile.mkdtemp(prefix="tingolamo-xdg-")
        os.chmod(self._runtime, 0o700)
        self.env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "SESSION_MANAGER"):
            self.env.pop(name, None)
        self.env.update({
            "DISPLAY": f":{number}",
            "XDG_RUNTIME_DIR": self._runtime,
            "QT_QPA_PLATFORM": "xcb",
            # No sound unless a test brings its own server.
            "PULSE_SERVER": "unix:/nonexistent/tingolamo-no-sound",
            # No session bus either, so Qt does not autolaunch a daemon that
            # outlives the test; the accessibility test brings its own bus.
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent/tingolamo-no-bus",
        })
        if self.wm:
            self._openbox = subprocess.Popen(
                ["openbox", "--sm-disable"], env=self.env,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_until(self._wm_ready, what="openbox")
        return self

    def _wm_ready(self):
        probe = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                               capture_output=True, text=True)
        return "window id" in probe.stdout

    def __exit__(self, *exc):
        for proc in (self._openbox, self._xvfb):
            if proc and proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
        if self._runtime:
            shutil.rmtree(self._runtime, ignore_errors=True)

    runner = {}  # the program runs as we do

    def run(self, *command, check=True):
        return subprocess.run(list(command), env=self.env, check=check,
                              capture_output=True, text=True)

    def find_window(self, title):
        found = self.run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$",
                         check=False)
        windows = found.stdout.split()
        return windows[0] if windows else None

    def screenshot(self):
        shot = subprocess.run(["import", "-window", "root", "png:-"], env=self.env,
                              check=True, capture_output=True)
        return Image.open(io.BytesIO(shot.stdout)).convert("RGB")

    def move(self, x, y):
        # --sync waits for the pointer to move, which it never does when it is
        # already there: xdotool then gives up after some 15 s.
        where = self.run("xdotool", "getmouselocation", "--shell").stdout
        if where.startswith(f"X={x}\nY={y}\n"):
            return
        self.run("xdotool", "mousemove", "--sync", str(x), str(y))

    def click(self, x, y, button=1, modifiers=()):
        self.move(x, y)
        for key in modifiers:
            self.run("xdotool", "keydown", key)
        self.run("xdotool", "click", str(button))
        for key in reversed(modifiers):
            self.run("xdotool", "keyup", key)

    def press(self, x, y, button=1):
        self.move(x, y)
        self.run("xdotool", "mousedown", str(button))

    def release(self, x, y, button=1):
        self.move(x, y)
        self.run("xdotool", "mouseup", str(button))

    def key(self, *names):
        self.run("xdotool", "key", *names)


def program_folder(app, gifs=None, cues=True):
    """A fresh program folder holding a copy of the executable.

    gifs: None for the built program's drawings, else a list of paths or of
    (name, bytes) pairs. cues: copy the built program's Suoni folder.
    """
    built = os.path.dirname(os.path.abspath(app))
    folder = tempfile.mkdtemp(prefix="tingolamo-program-")
    os.chmod(folder, 0o755)  # an ordinary user runs it under a Wayland compositor
    target = os.path.join(folder, os.path.basename(app))
    shutil.copy2(app, target)
    # The program's modules (printing, the cue player) lie beside it.
    for name in os.listdir(built):
        if name.startswith("tingolamo_") and name.endswith((".so", ".dll")):
            shutil.copy2(os.path.join(built, name), folder)
    if gifs is None:
        shutil.copytree(os.path.join(built, "Gif"), os.path.join(folder, "Gif"))
    else:
        os.mkdir(os.path.join(folder, "Gif"))
        for gif in gifs:
            if isinstance(gif, tuple):
                name, data = gif
                path = os.path.join(folder.encode(), b"Gif", os.fsencode(name))
                with open(path, "wb") as out:
                    out.write(data)
            else:
                shutil.copy2(gif, os.path.join(folder, "Gif"))
    if cues:
        shutil.copytree(os.path.join(built, "Suoni"), os.path.join(folder, "Suoni"))
    return target


class App:
    """The program, started alone in the background on a Display."""

    def __init__(self, app, display, env=None, args=()):
        self.app = app
        self.display = display
        self.env = dict(display.env)
        self.env.update(env or {})
        self.args = list(args)
        self.proc = None
        self.window = None
        self._log = None

    def __enter__(self):
        # Output goes to a file: a pipe nobody reads could fill and stall the program.
        self._log = tempfile.TemporaryFile()
        self.proc = subprocess.Popen([self.app, *self.args], env=self.env,
                                     stdout=self._log, stderr=subprocess.STDOUT,
                                     **self.display.runner)
        try:
            self.window = wait_until(self._find_window, timeout=30, step=0.1,
                                     what="the TINGOLAMO window")
        except AssertionError:
            code = self.proc.poll()
            detail = self._stuck() if code is None else ""
            self.__exit__()
            if code is not None:
                detail = f" (the program ended with {code}: {self.output()!r})"
            raise AssertionError("the TINGOLAMO window did not appear" + detail) from None
        wait_until(lambda: self.display.screenshot().getpixel((WIDTH - 2, 5)) == YELLOW,
                   what="the sheet to cover the screen")
        return self

    def _stuck(self):
        """What a program that runs without showing its window is doing."""
        named = self.display.run("xdotool", "search", "--name", "^TINGOLAMO$",
                                 check=False).stdout.split()
        waits = []
        for task in sorted(os.listdir(f"/proc/{self.proc.pid}/task")):
            try:
                with open(f"/proc/{self.proc.pid}/task/{task}/wchan") as wchan:
                    waits.append(wchan.read() or "running")
            except OSError:
                pass
        return f" (it runs on; windows of that name, shown or not: {named}; threads in {waits})"

    def _find_window(self):
        if self.proc.poll() is not None:
            raise AssertionError(f"the program ended with {self.proc.returncode}")
        return self.display.find_window("TINGOLAMO")

    def wait_exit(self, timeout=10):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def output(self):
        """Standard output and error, once the program has ended."""
        self.proc.wait(10)
        self._log.seek(0)
        return self._log.read().decode(errors="replace")

    def __exit__(self, *exc):
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait(5)


def region(image, left, top, width, height):
    """The set of colours in a rectangle of the screenshot."""
    return set(image.crop((left, top, left + width, top + height)).getdata())


class Checks:
    """Collects failed checks so one run reports all of them."""

    def __init__(self):
        self.failures = []
        self.count = 0

    def that(self, condition, message):
        self.count += 1
        if not condition:
            self.failures.append(message)
            print("FAIL:", message, flush=True)

    def equal(self, actual, expected, message):
        self.that(actual == expected, f"{message}: got {actual!r}, expected {expected!r}")

    def finish(self):
        print(f"{self.count - len(self.failures)} passed, {len(self.failures)} failed")
        raise SystemExit(1 if self.failures else 0)


def leftovers(pid):
    """The program's threads and open sockets."""
    tasks = len(os.listdir(f"/proc/{pid}/task"))
    fd_dir = f"/proc/{pid}/fd"
    sockets = 0
    for fd in os.listdir(fd_dir):
        try:
            sockets += os.readlink(os.path.join(fd_dir, fd)).startswith("socket:")
        except OSError:
            pass
    return tasks, sockets
