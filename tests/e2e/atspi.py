"""What a screen reader reads: the program's accessibility tree over AT-SPI.

    with Display() as display, AccessibilityBus(display) as bus:
        with App(app, display, env=bus.app_env):
            sheet = bus.window("TINGOLAMO")
            for node in walk(sheet): ...

The test gets a session D-Bus of its own; the accessibility bus and its
registry start behind it on first use and end with it. The program finds it
through `app_env`, which also switches Qt's accessibility on. AT-SPI reads
its bus address once per process, so a test process uses one bus.
"""

import os
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


class AccessibilityBus:
    def __init__(self, display, timeout=20.0):
        self.display = display
        self.timeout = timeout
        self.app_env = {}
        self._bus = None

    def __enter__(self):
        self._bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
            env=self.display.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, text=True)
        address = self._bus.stdout.readline().strip()
        if not address:
            self.__exit__()
            raise RuntimeError("the session D-Bus did not start")
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        self.display.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self.app_env = {
            "DBUS_SESSION_BUS_ADDRESS": address,
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        }
        # Starts the accessibility bus and its registry before the program
        # looks for them.
        Atspi.get_desktop(0).get_child_count()
        return self

    def __exit__(self, *exc):
        if self._bus and self._bus.poll() is None:
            self._bus.terminate()
            try:
                self._bus.wait(5)
            except subprocess.TimeoutExpired:
                self._bus.kill()
        return False

    def window(self, name, application_name="TINGOLAMO"):
        """The program's top-level window of that name, once it is there."""
        deadline = time.monotonic() + self.timeout
        while True:
            desktop = Atspi.get_desktop(0)
            for a in range(desktop.get_child_count()):
                application = desktop.get_child_at_index(a)
                if application is None or application.get_name() != application_name:
                    continue
                for w in range(application.get_child_count()):
                    found = application.get_child_at_index(w)
                    if found is not None and found.get_name() == name and showing(found):
                        return found
            if time.monotonic() > deadline:
                raise AssertionError(f"no window {name!r} on the accessibility bus")
            time.sleep(0.1)


def states(node):
    return {s.value_nick for s in node.get_state_set().get_states()}


def showing(node):
    return "showing" in states(node)


def children(node):
    found = []
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            found.append(child)
    return found


def walk(node, skip_roles=("list item",)):
    """Every node below `node`, depth first, without the items of lists."""
    for child in children(node):
        if child.get_role_name() in skip_roles:
            continue
        yield child
        yield from walk(child, skip_roles)


def describe(node):
    """What a screen reader has to say: role, name, description and states."""
    return (node.get_role_name(), node.get_name(), node.get_description(), states(node))


def focused(root):
    for node in walk(root):
        if "focused" in states(node):
            return node
    return None
