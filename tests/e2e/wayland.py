"""A private headless Wayland compositor for the end-to-end tests, as
harness.Display is an X server.

Sway (wlroots) runs with no output or input device of its own: one virtual
screen of 1280 x 1024 drawn in memory, screenshots through grim, keys
through wtype and the pointer through the tests' own client, wayland_driver,
which also hands out activation tokens as a launcher does. Sway refuses to
run as root, so when the tests run as root it runs, with the program, as an
ordinary user of the tests' own, made on first use.
"""

import glob
import io
import json
import os
import pwd
import shutil
import subprocess
import tempfile
import time

from PIL import Image

from harness import HEIGHT, WIDTH, wait_until

TEST_USER = "tingolamo-prova"


def ordinary_user():
    """Popen arguments that run a child as an ordinary user: ourselves when we
    are one, else the tests' own user."""
    if os.geteuid() != 0:
        return {}
    for _ in range(20):  # another test may be adding the user at this moment
        try:
            entry = pwd.getpwnam(TEST_USER)
            return {"user": entry.pw_uid, "group": entry.pw_gid, "extra_groups": []}
        except KeyError:
            subprocess.run(["useradd", "--system", "--user-group", "--no-create-home",
                            "--home-dir", "/nonexistent", "--shell", "/usr/sbin/nologin",
                            TEST_USER], capture_output=True)
            time.sleep(0.1)
    raise RuntimeError(f"cannot make the user {TEST_USER}")


class Sway:
    """Sway on a headless 1280 x 1024 screen. native=False runs the program
    through XWayland (Qt's X platform) instead of Qt's Wayland plug-in."""

    def __init__(self, driver, native=True):
        self.driver_path = driver
        self.native = native
        self.runner = ordinary_user()
        self.env = {}
        self._runtime = None
        self._sway = None
        self._driver = None
        self._keyboard = None

    def __enter__(self):
        self._runtime = tempfile.mkdtemp(prefix="tingolamo-sway-")
        os.chmod(self._runtime, 0o700)
        if self.runner:
            os.chown(self._runtime, self.runner["user"], self.runner["group"])
        config = os.path.join(self._runtime, "config")
        with open(config, "w") as out:
            out.write(f"output HEADLESS-1 resolution {WIDTH}x{HEIGHT} position 0 0\n"
                      # A window that asks to come forward with a valid token may.
                      "focus_on_window_activation focus\n"
                      # The pointer is drawn into the picture the screenshots
                      # read: hide it when still, as an X screenshot has none.
                      "seat * hide_cursor 100\n")
        base = {name: value for name, value in os.environ.items()
                if name not in ("DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK", "QT_QPA_PLATFORM",
                                "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS")}
        base.update(XDG_RUNTIME_DIR=self._runtime, HOME=self._runtime)
        compositor = dict(base, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                          WLR_LIBINPUT_NO_DEVICES="1")
        self._log = open(os.path.join(self._runtime, "sway.log"), "wb")
        self._sway = subprocess.Popen(["sway", "-c", config], env=compositor,
                                      stdout=self._log, stderr=self._log, **self.runner)
        try:
            sockets = wait_until(self._sockets, timeout=15, what="sway")
            self.env = dict(base, WAYLAND_DISPLAY=sockets[0], SWAYSOCK=sockets[1],
                            XDG_SESSION_TYPE="wayland",
                            PULSE_SERVER="unix:/nonexistent/tingolamo-no-sound",
                            DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/tingolamo-no-bus")
            # As in a real session, the X display that XWayland serves on demand.
            self.env["DISPLAY"] = self._session_display()
            self.env["QT_QPA_PLATFORM"] = "wayland" if self.native else "xcb"
            # A copy beside the sockets: the build tree may lie where the
            # ordinary user cannot reach (a clone in root's home).
            driver = shutil.copy(self.driver_path, self._runtime)
            self._driver = subprocess.Popen(
                [driver, str(WIDTH), str(HEIGHT)], env=self.env, text=True,
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, **self.runner)
            if self._driver.stdout.readline().strip() != "ready":
                raise RuntimeError("wayland_driver did not start")
            # A keyboard that stays: a client binds to the seat's keyboard when
            # one appears, and a key sent by a wtype that appears with it is lost.
            self._keyboard = subprocess.Popen(["wtype", "-s", "3600000"], env=self.env,
                                              **self.runner)
        except BaseException:
            self.__exit__()
            raise
        return self

    def _sockets(self):
        if self._sway.poll() is not None:
            raise RuntimeError("sway ended: " + self.log())
        displays = [path for path in glob.glob(os.path.join(self._runtime, "wayland-*"))
                    if not path.endswith(".lock")]
        ipc = glob.glob(os.path.join(self._runtime, "sway-ipc.*.sock"))
        return (os.path.basename(displays[0]), ipc[0]) if displays and ipc else None

    def _session_display(self):
        answer = os.path.join(self._runtime, "display")
        self.swaymsg("exec", f"printf %s \"$DISPLAY\" > {answer}.part && mv {answer}.part {answer}")
        wait_until(lambda: os.path.exists(answer), what="sway's X display")
        with open(answer) as got:
            return got.read()

    def __exit__(self, *exc):
        if self._driver and self._driver.poll() is None:
            self._driver.stdin.close()
        for proc in (self._driver, self._keyboard, self._sway):
            if proc and proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        if self._sway:
            self._log.close()
        if self._runtime:
            shutil.rmtree(self._runtime, ignore_errors=True)

    def log(self):
        with open(os.path.join(self._runtime, "sway.log"), "rb") as got:
            return got.read().decode(errors="replace")[-3000:]

    def run(self, *command, check=True):
        return subprocess.run(list(command), env=self.env, check=check, capture_output=True,
                              text=True, **self.runner)

    def swaymsg(self, *words):
        return json.loads(self.run("swaymsg", "--raw", *words).stdout)

    def windows(self, title=None):
        """The compositor's windows (views), optionally those of one title."""
        found = []
        pending = [self.swaymsg("-t", "get_tree")]
        while pending:
            node = pending.pop()
            pending += node.get("nodes", []) + node.get("floating_nodes", [])
            if node.get("type") in ("con", "floating_con") and node.get("shell") \
                    and title in (None, node.get("name")):
                found.append(node)
        return found

    def find_window(self, title):
        shown = [node for node in self.windows(title) if node.get("visible")]
        return shown[0]["id"] if shown else None

    def screenshot(self):
        shot = subprocess.run(["grim", "-"], env=self.env, check=True, capture_output=True,
                              **self.runner)
        return Image.open(io.BytesIO(shot.stdout)).convert("RGB")

    def _drive(self, line):
        self._driver.stdin.write(line + "\n")
        self._driver.stdin.flush()
        answer = self._driver.stdout.readline().strip()
        if not answer or answer == "?":
            raise RuntimeError(f"wayland_driver could not do {line!r}")
        return answer

    def move(self, x, y):
        self._drive(f"move {x} {y}")

    def press(self, x, y, button=1):
        self.move(x, y)
        self._drive(f"press {button}")

    def release(self, x, y, button=1):
        self.move(x, y)
        self._drive(f"release {button}")

    def click(self, x, y, button=1):
        self.press(x, y, button)
        self._drive(f"release {button}")

    def key(self, *names):
        """Keys by their X names; "alt+F4" holds alt around F4. The compositor
        hands the focus over to wtype's keyboard and back to the resident one
        (a leave and an enter each time): the hand-back waits a second, after
        the cue a key may start."""
        command = ["wtype"]
        for name in names:
            *modifiers, key = name.split("+")
            for modifier in modifiers:
                command += ["-M", modifier]
            command += ["-k", key]
            for modifier in reversed(modifiers):
                command += ["-m", modifier]
        self.run(*command, "-s", "1000")

    def token(self):
        """An activation token, as a launcher gets one for the program it starts."""
        return self._drive("token")
