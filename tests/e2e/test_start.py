"""Starting the program: a second start while one runs, and a start without a desktop."""

import os
import subprocess
import sys
import tempfile
import time

from PIL import Image

from harness import App, Checks, Display, YELLOW, arguments, program_folder, wait_until

COVER = (700, 300)  # a point of the sheet that the covering window hides
FAREWELL = (425, 362, 855, 661)  # the farewell window's client area on the screen


def sheets(display):
    return display.run("xdotool", "search", "--onlyvisible", "--name", "^TINGOLAMO$",
                       check=False).stdout.split()


def check_second_start(check, app):
    scratch = tempfile.mkdtemp(prefix="tingolamo-tmp-")
    with Display(wm=True) as display:
        env = {"TMPDIR": scratch}
        with App(app, display, env=env) as first:
            cover = subprocess.Popen(["xmessage", "-geometry", "400x300+600+200", "copre"],
                                     env=display.env)
            try:
                wait_until(lambda: display.screenshot().getpixel(COVER) != YELLOW,
                           what="the covering window")
                runtime = display.env["XDG_RUNTIME_DIR"]
                before = sorted(os.listdir(runtime))
                started = time.monotonic()
                second = subprocess.run([app], env=first.env, capture_output=True, timeout=10)
                took = time.monotonic() - started
                check.equal(second.returncode, 0, "a second start ends with status 0")
                check.that(took < 2.0, f"a second start ends within 2 s (took {took:.2f} s)")
                wait_until(lambda: display.screenshot().getpixel(COVER) == YELLOW,
                           what="the first sheet to come to the front")
                time.sleep(0.5)
                check.equal(len(sheets(display)), 1, "the first window is still the only one")
                check.that(first.proc.poll() is None, "the first copy keeps running")
                # The first copy listens where no file is made (a plain local
                # server would be in TMPDIR), and the second leaves nothing.
                check.equal(os.listdir(scratch), [], "nothing in TMPDIR")
                check.equal(sorted(os.listdir(runtime)), before,
                            "nothing new in XDG_RUNTIME_DIR after the second start")
            finally:
                cover.terminate()
                cover.wait(5)
    os.rmdir(scratch)


def end_button(app):
    """The centre of the end button, under the default drawing's box."""
    width, height = Image.open(os.path.join(os.path.dirname(app), "Gif", "cromello.gif")).size
    return 145 + round((width + 4) / 2) // 2, 26 + height + 4 + 17


def check_second_start_over_farewell(check, app):
    """Without a window manager nobody keeps the farewell window above the
    sheet: coming forward must not bury it, or the child could not end."""
    with Display() as display, App(app, display) as first:
        display.click(*end_button(app))
        wait_until(lambda: len(sheets(display)) == 1 and display.run(
            "xdotool", "search", "--onlyvisible", "--name", "^Info$", check=False).stdout,
                   what="the farewell window")
        time.sleep(0.5)
        before = display.screenshot().crop(FAREWELL)
        second = subprocess.run([app], env=first.env, capture_output=True, timeout=10)
        check.equal(second.returncode, 0, "over the farewell window: a second start ends with 0")
        time.sleep(0.5)
        check.that(list(display.screenshot().crop(FAREWELL).getdata()) == list(before.getdata()),
                   "the farewell window stays above the sheet")
        display.click(FAREWELL[0] + 420, FAREWELL[1] + 10)
        check.equal(first.wait_exit(5), 0, "a click on the farewell window still ends the program")


def check_no_desktop(check, app):
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        env.pop(name, None)
    for label, extra in (("no DISPLAY", {}), ("a DISPLAY nobody serves", {"DISPLAY": ":987"})):
        result = subprocess.run([app], env={**env, **extra}, capture_output=True, text=True,
                                timeout=20)
        lines = (result.stdout + result.stderr).splitlines()
        check.equal(result.returncode, 1, f"{label}: exit status")
        check.that(len(lines) == 1 and "desktop grafico" in lines[0],
                   f"{label}: one Italian line, got {lines!r}")


def main():
    args = arguments()
    app = program_folder(args.app)
    check = Checks()
    check_second_start(check, app)
    check_second_start_over_farewell(check, app)
    check_no_desktop(check, app)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
