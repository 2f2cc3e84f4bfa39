"""The Windows installer as a user meets it, under Wine on a private X screen.

Builds tingolamo-2.00-win64.exe with CPack from the cross build into a
temporary folder. In a fresh Wine prefix it installs silently (/S): the
program folder holds exactly what the install rules staged, the Start menu
has its entries and the installed apps list TINGOLAMO 2.00. The installed
tingolamo.exe then runs with a private PulseAudio (heard through Wine's
winepulse) and a private CUPS (Wine's default printer): the sheet covers the
screen, a swatch and a release fill an area, the fill cue is heard, the print
button gives one page, a second start leaves the first window alone and ends
with 0, the installer and the uninstaller refuse to touch the running
program, and the farewell window ends the program with 0. The installed
tingolamo-disegno.exe turns a picture into a page. Last, the
uninstaller removes every file, the Start-menu entries and the entry among
the installed apps.
"""

import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageDraw

from cues import heard_through_gaps
from drawings import white_point
from cups import PrivateCups
from harness import App, Checks, Display, HEIGHT, WIDTH, wait_until
from pulse import PrivatePulse
from wine import WinePrefix

INSTALLER = "tingolamo-2.00-win64.exe"
FOLDER = r"C:\Program Files\TINGOLAMO"
PROGRAM = FOLDER + r"\tingolamo.exe"
UNINSTALLER = "Disinstalla.exe"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\TINGOLAMO.lnk"
DISEGNO = FOLDER + r"\tingolamo-disegno.exe"
DISEGNO_SHORTCUT = (r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs"
                    r"\Aggiungi un disegno a TINGOLAMO.lnk")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TINGOLAMO"

BOX = (147, 28)  # the drawing's top-left pixel on screen
RED_SWATCH = (75, 248)  # the second swatch of the palette of four
RED, WHITE = (255, 0, 0), (255, 255, 255)
WINE_COMMAND = shutil.which("wine") or "wine"


def arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--config", required=True, help="the cross build's CPackConfig.cmake")
    return parser.parse_args()


def files_under(root):
    found = set()
    for folder, _, names in os.walk(root):
        found |= {os.path.relpath(os.path.join(folder, n), root) for n in names}
    return found


def build_installer(args, folder):
    """The installer, and the tree CPack staged from the install rules for it."""
    subprocess.run([args.cpack, "-G", "NSIS", "--config", args.config, "-B", folder],
                   check=True, stdout=subprocess.DEVNULL)
    staged = os.path.join(folder, "_CPack_Packages", "win64", "NSIS", INSTALLER[:-4])
    return os.path.join(folder, INSTALLER), staged


def check_installed(check, wine, staged):
    folder = wine.unix(FOLDER)
    installed = files_under(folder)
    expected = files_under(staged)
    check.equal((sorted(expected - installed), sorted(installed - expected)),
                ([], [UNINSTALLER]), "the program folder holds what was staged (missing, more)")
    same = [f for f in expected & installed
            if filecmp.cmp(os.path.join(staged, f), os.path.join(folder, f), shallow=False)]
    check.equal(len(same), len(expected), "every file installed as staged")
    needed = {"tingolamo.exe", "tingolamo-disegno.exe", "Qt6Core.dll", "Qt6Gui.dll",
              "Qt6Widgets.dll", "platforms/qwindows.dll", "platforms/qoffscreen.dll",
              "imageformats/qgif.dll", "libstdc++-6.dll", "libgcc_s_seh-1.dll",
              "libwinpthread-1.dll", "translations/qtbase_it.qm",
              "Gif/cromello.gif", "Suoni/riempi.wav", "Licenze/GPL-3.0.txt",
              "Licenze/LGPL-3.0.txt"}
    check.equal(needed - installed, set(),
                "the program, Qt, the runtime, the drawings and the licences are there")

    shortcut = wine.unix(SHORTCUT)
    check.that(os.path.isfile(shortcut), "the Start-menu entry TINGOLAMO")
    if os.path.isfile(shortcut):
        with open(shortcut, "rb") as link:
            target = link.read()
        check.that(b"tingolamo.exe" in target or "tingolamo.exe".encode("utf-16-le") in target,
                   "the Start-menu entry starts tingolamo.exe")
    check.that(os.path.isfile(wine.unix(DISEGNO_SHORTCUT)),
               "the Start-menu entry for adding a page")
    entry = wine.registry(UNINSTALL_KEY) or {}
    check.equal({name: entry.get(name) for name in ("DisplayName", "DisplayVersion")},
                {"DisplayName": "TINGOLAMO", "DisplayVersion": "2.00"},
                "the entry among the installed apps")
    check.that(entry.get("Publisher"), "the entry names its publisher")
    check.equal(entry.get("DisplayIcon"), PROGRAM + ",0", "the entry shows the program's icon")
    check.equal(entry.get("UninstallString"), f'"{FOLDER}\\{UNINSTALLER}"',
                "the entry removes with the uninstaller")


def filled(picture, point):
    """The drawing as it must look after a red fill at `point`."""
    expected = picture.copy()
    ImageDraw.floodfill(expected, point, RED, thresh=0)
    return expected


def box_shows(display, picture):
    width, height = picture.size
    shot = display.screenshot().crop((BOX[0], BOX[1], BOX[0] + width, BOX[1] + height))
    return list(shot.getdata()) == list(picture.getdata())


def eventually(condition, timeout=10):
    try:
        return wait_until(condition, timeout=timeout)
    except AssertionError:
        return False


def sheets(display):
    return display.run("xdotool", "search", "--onlyvisible", "--name", "^TINGOLAMO$",
                       check=False).stdout.split()


def pages(pdf):
    text = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True,
                          timeout=30).stdout
    lines = [line for line in text.splitlines() if line.startswith("Pages:")]
    return int(lines[0].split()[1]) if lines else 0


def use_program(check, wine, display, pulse, cups, installer):
    drawing = Image.open(wine.unix(FOLDER + r"\Gif\cromello.gif")).convert("RGB")
    width, height = drawing.size
    under_box = 26 + height + 4 + 17  # the strip of the end and print buttons
    end_button = (145 + (width + 4) // 4, under_box)
    print_button = (145 + (width + 4) * 3 // 4, under_box)
    riempi = wine.unix(FOLDER + r"\Suoni\riempi.wav")

    with App(WINE_COMMAND, display, env=wine.env, args=[PROGRAM]) as program:
        geometry = display.run("xdotool", "getwindowgeometry", program.window).stdout
        check.that(f"Geometry: {WIDTH}x{HEIGHT}" in geometry,
                   f"the sheet covers the screen: {geometry.strip()}")
        check.that(box_shows(display, drawing), "the default drawing shows at (147, 28)")

        # The swatch's cue opens the sound device; the fill's is the one counted.
        pulse.record_start()
        display.click(*RED_SWATCH)
        time.sleep(1.5)
        point = white_point(drawing)
        expected = filled(drawing, point)
        display.click(BOX[0] + point[0], BOX[1] + point[1])
        check.that(eventually(lambda: box_shows(display, expected)),
                   "a release fills the area up to its outline in red, and nothing else")
        time.sleep(1.5)
        recording = pulse.record_stop(settle=0.5)
        # Wine's player can fall behind the sound server on a busy machine,
        # which then plays a few milliseconds of silence in between.
        check.equal(heard_through_gaps(recording, riempi), 1,
                    "the fill cue is heard whole through winepulse")

        display.click(*print_button)
        try:
            jobs = cups.wait_for_jobs(1, timeout=90)
        except TimeoutError as error:
            jobs = []
            print(error, flush=True)
        check.equal(len(jobs), 1, "the print button gives one job at the default printer")
        if jobs:
            check.equal(pages(jobs[0]), 1, "the job is one page")
        time.sleep(2)
        check.equal(len(cups.jobs()), 1, "and only one")

        started = time.monotonic()
        second = wine.run(PROGRAM, check=False, timeout=60)
        took = time.monotonic() - started
        check.equal(second.returncode, 0, f"a second start ends with 0 (after {took:.1f} s)")
        time.sleep(1)
        check.equal(len(sheets(display)), 1, "the first window is still the only one")
        check.that(program.proc.poll() is None, "the first copy keeps running")

        # Silent, neither the installer nor the uninstaller touches a program
        # in use: the installer ends with 2, and the files stay.
        again = wine.run(installer, "/S", check=False, timeout=120).returncode
        uninstall(wine)
        check.equal((again, os.path.isfile(wine.unix(PROGRAM)), os.path.isfile(wine.unix(SHORTCUT))),
                    (2, True, True), "installing and uninstalling while it runs change nothing")

        display.click(*end_button)
        found = display.run("timeout", "20", "xdotool", "search", "--sync", "--onlyvisible",
                            "--name", "^Info$", check=False)
        check.equal(found.returncode, 0, "the end button opens the farewell window")
        if found.returncode == 0:
            window = found.stdout.split()[0]
            position = display.run("xdotool", "getwindowgeometry", window).stdout
            x, y = position.split("Position:")[1].split()[0].split(",")
            time.sleep(0.5)
            display.click(int(x) + 20, int(y) + 20)
        check.equal(program.wait_exit(20), 0, "a click on the farewell window ends with 0")


def add_page(check, wine):
    """The installed tingolamo-disegno.exe, with nothing but the program folder,
    turns a picture into a two-colour page."""
    pictures = wine.unix(r"C:\prova")
    os.makedirs(os.path.join(pictures, "Gif"))
    picture = Image.new("RGB", (710, 1120), WHITE)
    draw = ImageDraw.Draw(picture)
    draw.rectangle((40, 40, 670, 1080), outline=(60, 60, 60), width=4)
    draw.line((40, 560, 670, 560), fill=(60, 60, 60), width=4)
    picture.save(os.path.join(pictures, "casa.png"))
    result = wine.run(DISEGNO, "--cartella", r"C:\prova\Gif", r"C:\prova\casa.png",
                      check=False, timeout=120)
    check.equal(result.returncode, 0, f"tingolamo-disegno.exe adds a page: {result.stderr[-300:]}")
    page = os.path.join(pictures, "Gif", "casa.gif")
    colours = Image.open(page).convert("RGB").getcolors() if os.path.isfile(page) else None
    check.equal(sorted(c for _, c in colours or []), [(0, 0, 0), WHITE],
                "the page is black lines on white")


def uninstall(wine):
    """Runs the uninstaller silently, to its end. As started from the installed
    apps, it hands over to a copy of itself in the temporary folder (Un.exe)
    and ends with 0 at once (_?= would keep it in place, but Wine quotes a
    folder with a space, and then the uninstaller does not take it): the end
    is that copy's."""
    wine.run(FOLDER + "\\" + UNINSTALLER, "/S", check=False)
    wait_until(lambda: subprocess.run(["pgrep", "-x", "Un.exe"]).returncode == 1, timeout=120,
               what="the uninstaller's copy to end")


def check_uninstalled(check, wine):
    uninstall(wine)
    left = files_under(wine.unix(FOLDER))
    check.equal(sorted(left), [], "the uninstaller removes every file it installed")
    check.that(not os.path.exists(wine.unix(SHORTCUT)), "the Start-menu entry is gone")
    check.that(not os.path.exists(wine.unix(DISEGNO_SHORTCUT)), "and the one for adding a page")
    check.equal(wine.registry(UNINSTALL_KEY), None, "so is the entry among the installed apps")


def main():
    args = arguments()
    check = Checks()
    folder = tempfile.mkdtemp(prefix="tingolamo-installer-")
    try:
        started = time.monotonic()
        installer, staged = build_installer(args, folder)
        size = os.path.getsize(installer)
        print(f"{INSTALLER}: {size / 2**20:.1f} MiB, {len(files_under(staged))} files, "
              f"built in {time.monotonic() - started:.0f} s", flush=True)
        with Display(wm=True) as display, PrivatePulse() as pulse, PrivateCups() as cups:
            env = dict(display.env)
            env.update(PULSE_SERVER=pulse.env["PULSE_SERVER"], CUPS_SERVER=cups.env["CUPS_SERVER"])
            with WinePrefix(env) as wine:
                started = time.monotonic()
                result = wine.run(installer, "/S", check=False, timeout=300)
                check.equal(result.returncode, 0,
                            f"{INSTALLER} /S ends with 0 (in {time.monotonic() - started:.0f} s)")
                check_installed(check, wine, staged)
                use_program(check, wine, display, pulse, cups, installer)
                add_page(check, wine)
                check_uninstalled(check, wine)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
