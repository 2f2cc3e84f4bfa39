"""The farewell window in the real program under Xvfb: where it opens, what it
shows, and that every way out ends the program at once with status 0 and
nothing written, while the thank-you line, keys and the sheet beneath do
nothing."""

import argparse
import os
import sys
import time

from PIL import Image

from harness import App, Checks, Display, YELLOW, program_folder, wait_until

CLIENT = (425, 362, 430, 299)  # centred on the 1280 x 1024 screen

# Points in the window's client area.
ENDING_CLICKS = {
    "background": ((420, 10), 1),
    "background, right button": ((150, 285), 3),
    "Image1": ((93, 227), 1),
    "Image1, transparent corner": ((64, 192), 1),
    "Image2": ((319, 230), 1),
    "Image2 where it covers Label1": ((300, 100), 1),
    "Label1": ((30, 30), 1),
    "Label2(0)": ((20, 175), 1),
    "Label2(1)": ((12, 270), 1),
}
LABEL3_CLICKS = [(124, 132), (20, 110), (225, 150)]


def screen(point):
    return CLIENT[0] + point[0], CLIENT[1] + point[1]


def fine_button(folder):
    """The centre of the end button, under the default drawing's box."""
    width, height = Image.open(os.path.join(folder, "Gif", "cromello.gif")).size
    half = round((width + 4) / 2)
    return 145 + half // 2, 26 + height + 4 + 17


def outside(shot, rect, margin):
    """The screenshot with a rectangle (grown by margin) painted over."""
    left, top, width, height = rect
    copy = shot.copy()
    copy.paste((0, 0, 0), (left - margin, top - margin, left + width + margin,
                           top + height + margin))
    return copy


def differing(a, b):
    return sum(1 for p, q in zip(a.getdata(), b.getdata()) if p != q)


def info_window(display):
    found = display.run("timeout", "10", "xdotool", "search", "--sync", "--onlyvisible",
                        "--name", "^Info$", check=False)
    if found.returncode != 0:
        raise AssertionError("the window Info did not appear")
    return found.stdout.split()[0]


def client_geometry(display, window):
    info = display.run("xwininfo", "-id", window).stdout
    values = {}
    for line in info.splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
    return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
            int(values["Width"]), int(values["Height"]))


def drawn(display):
    """True once the window shows its yellow ground and the dedication."""
    shot = display.screenshot()
    ground = shot.getpixel(screen((420, 10))) == YELLOW
    text = any(sum(shot.getpixel(screen((x, y)))) < 150
               for x in range(16, 120) for y in range(16, 45))
    return ground and text


def open_farewell(display, fine):
    """Clicks the end button; returns the window and the sheet before it."""
    before = display.screenshot()
    display.click(*fine)
    window = info_window(display)
    wait_until(lambda: drawn(display), what="the farewell window drawn")
    return window, before


def check_opening(check, display, app, fine, label):
    """The window opens centred, the sheet unchanged around it."""
    window, before = open_farewell(display, fine)
    check.equal(client_geometry(display, window), CLIENT, f"{label}: client area")
    shot = display.screenshot()
    fine_box = (fine[0] - 60, fine[1] - 20, 120, 40)
    changed = differing(outside(outside(shot, CLIENT, 24), fine_box, 20),
                        outside(outside(before, CLIENT, 24), fine_box, 20))
    check.equal(changed, 0, f"{label}: pixels of the sheet changed around the window")
    check.that(app.proc.poll() is None, f"{label}: the program runs on")
    return window, shot


def check_ended(check, app, label):
    status = app.wait_exit(5)
    check.equal(status, 0, f"{label}: exit status")
    if status is not None:
        check.equal(app.output(), "", f"{label}: output")


def check_endings_by_click(check, app_path, fine):
    with Display() as display:
        for label, (point, button) in ENDING_CLICKS.items():
            with App(app_path, display) as app:
                if label == "background":
                    check_opening(check, display, app, fine, "without a window manager")
                else:
                    open_farewell(display, fine)
                display.click(*screen(point), button=button)
                check_ended(check, app, label)


def check_staying_open(check, app_path, fine):
    """Label3, keys and the blocked sheet leave everything as it was."""
    with Display() as display, App(app_path, display) as app:
        window, _ = open_farewell(display, fine)
        shot = display.screenshot()
        for point in LABEL3_CLICKS:
            display.click(*screen(point))
        display.click(*screen(LABEL3_CLICKS[0]), button=3)
        display.key("Escape", "Return", "space", "a", "Tab", "alt+F4")
        # The sheet beneath: a swatch, a palette size option, the drawing,
        # the picture list and the end button itself.
        for point in [(75, 182), (34, 50), (200, 100), (560, 60), fine]:
            display.click(*point)
        time.sleep(0.5)
        check.that(app.proc.poll() is None, "Label3, keys, the sheet: the program runs on")
        check.equal(client_geometry(display, window), CLIENT,
                    "Label3, keys, the sheet: the window stays")
        check.equal(differing(display.screenshot(), shot), 0,
                    "Label3, keys, the sheet: pixels changed on the screen")
        display.click(*screen(ENDING_CLICKS["background"][0]))
        check_ended(check, app, "background after all that")


def close_box(display, window):
    """The close button at the right end of the window manager's title bar."""
    extents = display.run("xprop", "-id", window, "_NET_FRAME_EXTENTS").stdout
    left, right, top, bottom = (int(v) for v in extents.split("=")[1].split(","))
    return CLIENT[0] + CLIENT[2] + right - 9, CLIENT[1] - top // 2


def close_by_key(display, window):
    """Alt+F4 asks the window manager to close the focused window."""
    wait_until(lambda: display.run("xdotool", "getactivewindow", check=False).stdout.strip()
               == window, what="the farewell window to get the focus")
    display.key("alt+F4")


def minimise_then_click(check, display, window):
    """Openbox offers a minimise button anyway; the window comes straight back."""
    display.run("xdotool", "windowminimize", window)
    time.sleep(1.0)
    state = display.run("xprop", "-id", window, "WM_STATE").stdout
    check.that("Normal" in state, f"the window comes back after minimising: {state}")
    display.click(*screen(ENDING_CLICKS["background"][0]))


def check_window_manager(check, app_path, fine, picture):
    closings = {
        "wmctrl -c Info": lambda c, d, w: d.run("wmctrl", "-c", "Info"),
        "alt+F4": lambda c, d, w: close_by_key(d, w),
        "the close box": lambda c, d, w: d.click(*close_box(d, w)),
        "a click after minimising": minimise_then_click,
    }
    with Display(wm=True) as display:
        for label, close in closings.items():
            with App(app_path, display) as app:
                if label == "wmctrl -c Info":
                    window, shot = check_opening(check, display, app, fine,
                                                 "with openbox")
                    if picture:
                        left, top, width, height = CLIENT
                        shot.crop((left - 12, top - 32, left + width + 12,
                                   top + height + 12)).save(picture)
                else:
                    window, _ = open_farewell(display, fine)
                close(check, display, window)
                check_ended(check, app, label)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--picture", help="save the opened window here")
    args = parser.parse_args()
    app_path = program_folder(args.app)
    fine = fine_button(os.path.dirname(app_path))
    check = Checks()
    check_endings_by_click(check, app_path, fine)
    check_staying_open(check, app_path, fine)
    check_window_manager(check, app_path, fine, args.picture)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
