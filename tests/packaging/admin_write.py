"""The window's way into the system's picture folder: pkexec, polkitd and the helper.

    unshare --mount --propagation private python3 admin_write.py --root <unpacked package>

Run as root by test_package.py in a mount namespace of its own. There the
unpacked package lies over /usr (an overlay, so the picture folder takes
writes and the real one is untouched), its polkit action beside the
system's; an empty folder lies over /run/dbus, where a private system bus
and a real polkitd start, and one over /etc/polkit-1/rules.d. The window of
tingolamo-disegno runs as nobody under Xvfb, and "Aggiungi" goes through the
setuid pkexec:
- with a rule that grants the package's action to nobody, the helper writes
  the page the command makes, as root, mode 0644 (so pkexec found the action
  by the helper's installed path);
- with no rule, the action's defaults ask for the administrator's password,
  no agent can ask for it, and nothing is written.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageDraw

from harness import Checks, Display, wait_until

NOBODY = 65534
ACTION = "org.example.tingolamo.aggiungi-disegno"
RULE = """polkit.addRule(function(action, subject) {
    if (action.id == "%s" && subject.user == "nobody")
        return polkit.Result.YES;
});
""" % ACTION


def arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True, help="the unpacked package")
    return parser.parse_args()


def mount(*arguments):
    subprocess.run(["mount", *arguments], check=True)


def overlay(lower, target, upper=None, work=None):
    options = f"lowerdir={lower}:{target}"
    if upper:
        options += f",upperdir={upper},workdir={work}"
    mount("-t", "overlay", "overlay", "-o", options, target)


def picture(path):
    """A frame cut into a window and a door, drawn in pencil."""
    page = Image.new("L", (355, 560), 235)
    draw = ImageDraw.Draw(page)
    draw.rectangle([20, 20, 335, 540], outline=40, width=5)
    draw.rectangle([70, 100, 285, 250], outline=40, width=5)
    draw.rectangle([130, 330, 225, 540], outline=40, width=5)
    page.save(path)
    os.chmod(path, 0o644)


class SystemBus:
    """A system bus and polkitd, private to this mount namespace."""

    def __init__(self):
        self.bus = subprocess.Popen(["dbus-daemon", "--system", "--nofork", "--nopidfile",
                                     "--print-address=1"], stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL, text=True)
        if not self.bus.stdout.readline().strip():
            raise RuntimeError("the system bus did not start")
        self.polkitd = None

    def start_polkitd(self):
        self.stop_polkitd()
        self.polkitd = subprocess.Popen(["/usr/lib/polkit-1/polkitd", "--no-debug"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(self._polkit_named, what="polkitd on the system bus")

    def _polkit_named(self):
        asked = subprocess.run(
            ["dbus-send", "--system", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
             "string:org.freedesktop.PolicyKit1"], capture_output=True, text=True)
        return "boolean true" in asked.stdout

    def stop_polkitd(self):
        if self.polkitd and self.polkitd.poll() is None:
            self.polkitd.terminate()
            self.polkitd.wait(5)

    def close(self):
        self.stop_polkitd()
        self.bus.terminate()
        self.bus.wait(5)


def add_as_nobody(display, work, picture_path):
    """Opens the window as nobody and presses Aggiungi once it can be pressed;
    returns the line the window prints for the outcome."""
    runtime = tempfile.mkdtemp(dir=work)
    os.chown(runtime, NOBODY, NOBODY)
    os.chmod(runtime, 0o700)
    env = dict(display.env, XDG_RUNTIME_DIR=runtime, HOME="/nonexistent",
               PATH="/usr/bin:/bin")
    log = tempfile.TemporaryFile()
    window = subprocess.Popen(
        ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups",
         "/usr/lib/tingolamo/tingolamo-disegno", "--finestra", picture_path],
        env=env, stdout=log, stderr=subprocess.STDOUT)

    def said():
        log.seek(0)
        lines = [l for l in log.read().decode(errors="replace").splitlines()
                 if ": scritto " in l or ": rifiutato, " in l or ": saltato, " in l]
        if not lines:
            display.key("alt+a")  # "&Aggiungi": does nothing until the page shows
        return lines[0] if lines else None

    try:
        wait_until(lambda: display.run("xdotool", "search", "--name",
                                       "^Aggiungi un disegno a TINGOLAMO$", check=False).stdout,
                   timeout=30, what="the window")
        return wait_until(said, timeout=60, step=0.5, what="the window's outcome")
    finally:
        window.kill()
        window.wait(5)


def main():
    args = arguments()
    check = Checks()
    work = tempfile.mkdtemp(prefix="tingolamo-pkexec-")
    os.chmod(work, 0o755)
    bus = None
    try:
        upper, scratch = os.path.join(work, "upper"), os.path.join(work, "scratch")
        rules, run_dbus = os.path.join(work, "rules"), os.path.join(work, "run-dbus")
        for folder in (upper, scratch, rules, run_dbus):
            os.mkdir(folder)
        overlay(os.path.join(args.root, "usr/lib"), "/usr/lib")
        overlay(os.path.join(args.root, "usr/share"), "/usr/share", upper, scratch)
        mount("--bind", rules, "/etc/polkit-1/rules.d")
        mount("--bind", run_dbus, "/run/dbus")
        gif = "/usr/share/tingolamo/Gif"
        folder = os.stat(gif)
        check.that(folder.st_uid == 0 and not folder.st_mode & 0o022,
                   "the picture folder belongs to the system")

        # Names that no drawing of the package has.
        casa, prato = os.path.join(work, "casa nuova.png"), os.path.join(work, "prato.png")
        picture(casa)
        picture(prato)
        expected = os.path.join(work, "attesi")
        os.mkdir(expected)
        subprocess.run(["/usr/lib/tingolamo/tingolamo-disegno", "--cartella", expected, casa],
                       check=True, stdout=subprocess.DEVNULL)

        bus = SystemBus()
        with Display(wm=True) as display:
            with open(os.path.join(rules, "50-tingolamo-test.rules"), "w") as rule:
                rule.write(RULE)
            bus.start_polkitd()
            line = add_as_nobody(display, work, casa)
            print("granted:", line, flush=True)
            written = os.path.join(gif, "casa nuova.gif")
            check.that(os.path.exists(written), f"the helper wrote the page: {line}")
            if os.path.exists(written):
                status = os.stat(written)
                check.equal((status.st_uid, oct(status.st_mode & 0o777)), (0, "0o644"),
                            "the page's owner and mode")
                with open(written, "rb") as page, open(os.path.join(expected, "casa nuova.gif"),
                                                       "rb") as same:
                    check.that(page.read() == same.read(), "the page the command makes")

            os.remove(os.path.join(rules, "50-tingolamo-test.rules"))
            bus.start_polkitd()
            line = add_as_nobody(display, work, prato)
            print("not granted:", line, flush=True)
            check.that(line is not None and "senza il permesso dell'amministratore" in line,
                       f"without the administrator, the window says so: {line}")
            check.that(not os.path.exists(os.path.join(gif, "prato.gif")),
                       "without the administrator, nothing is written")
    finally:
        if bus:
            bus.close()
        for target in ("/run/dbus", "/etc/polkit-1/rules.d", "/usr/share", "/usr/lib"):
            subprocess.run(["umount", "--lazy", target], stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
