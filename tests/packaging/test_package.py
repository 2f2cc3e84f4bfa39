"""The Debian package: what it holds, what the judges say, and the unpacked program.

Builds the package with CPack from the build tree into a temporary folder,
checks its file list against the sources, runs desktop-file-validate,
appstreamcli and lintian on it, unpacks it into a temporary root and starts
<root>/usr/bin/tingolamo under Xvfb from another folder: the default drawing
shows, the list walks through every drawing, a fill paints and is heard.
"""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image

from cues import heard
from harness import App, Checks, Display, wait_until
from pulse import PrivatePulse

BOX = (147, 28)  # the drawing's top-left pixel on screen
FIRST_ROW = (560, 38)
RED = (255, 0, 0)
RED_SWATCH = (75, 248)  # the second swatch of the palette of four
WHITE = (255, 255, 255)


def arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--config", required=True, help="the build tree's CPackConfig.cmake")
    parser.add_argument("--source", required=True)
    return parser.parse_args()


def build_package(args, folder):
    subprocess.run([args.cpack, "-G", "DEB", "--config", args.config, "-B", folder],
                   check=True, stdout=subprocess.DEVNULL)
    arch = subprocess.run(["dpkg", "--print-architecture"], check=True,
                          capture_output=True, text=True).stdout.strip()
    return os.path.join(folder, f"tingolamo_2.00-1_{arch}.deb")


def contents(deb):
    """Every entry of the package: path -> link target, or None for a file or folder."""
    listing = subprocess.run(["dpkg-deb", "--contents", deb], check=True,
                             capture_output=True, text=True).stdout
    entries = {}
    for line in listing.splitlines():
        name = line.split(None, 5)[5]
        link = None
        if line.startswith("l"):
            name, link = name.split(" -> ")
        entries[name.lstrip(".").rstrip("/")] = link
    entries.pop("", None)
    return entries


def natural(name):
    return [int(part) if part.isdigit() else part.lower() for part in re.split(r"(\d+)", name)]


def expected_files(source, entries):
    """What the package must hold, from the source tree; commands are every
    executable the package puts in the program folder."""
    share = "/usr/share/tingolamo"
    files = {f"{share}/Gif/{os.path.basename(p)}" for p in glob.glob(f"{source}/Gif/*")}
    files |= {f"{share}/Suoni/{os.path.basename(p)}" for p in glob.glob(f"{source}/Suoni/*")}
    for page in glob.glob(f"{source}/packaging/man/*.[1-9]"):
        name = os.path.basename(page)
        files.add(f"/usr/share/man/man{name[-1]}/{name}.gz")
    app_id = "org.example.tingolamo"
    files |= {f"/usr/share/icons/hicolor/{s}x{s}/apps/{app_id}.png"
              for s in (16, 22, 24, 32, 48, 64, 128, 256)}
    files |= {f"/usr/share/icons/hicolor/scalable/apps/{app_id}.svg",
              f"/usr/share/applications/{app_id}.desktop",
              f"/usr/share/metainfo/{app_id}.metainfo.xml",
              "/usr/share/doc/tingolamo/copyright",
              "/usr/share/doc/tingolamo/changelog.Debian.gz"}
    links = {"/usr/lib/tingolamo/Gif": "../../share/tingolamo/Gif",
             "/usr/lib/tingolamo/Suoni": "../../share/tingolamo/Suoni"}
    files |= {"/usr/lib/tingolamo/tingolamo_suoni.so", "/usr/lib/tingolamo/tingolamo_stampa.so"}
    commands = {os.path.basename(p) for p, link in entries.items()
                if p.startswith("/usr/lib/tingolamo/") and link is None and not p.endswith(".so")}
    files |= {f"/usr/lib/tingolamo/{c}" for c in commands}
    links |= {f"/usr/bin/{c}": f"../lib/tingolamo/{c}" for c in commands}
    return files, links


def check_contents(check, source, entries):
    files, links = expected_files(source, entries)
    folders = {p for p in entries if any(f.startswith(p + "/") for f in files | set(links))}
    check.that("/usr/lib/tingolamo/tingolamo" in files, "the program is in /usr/lib/tingolamo")
    check.equal(set(entries) - folders, files | set(links), "the package's files")
    check.equal({p: t for p, t in entries.items() if t is not None}, links,
                "the package's links, all relative")


def judges(check, root, deb):
    app_id = "org.example.tingolamo"
    desktop = os.path.join(root, f"usr/share/applications/{app_id}.desktop")
    metainfo = os.path.join(root, f"usr/share/metainfo/{app_id}.metainfo.xml")
    for command in (["desktop-file-validate", desktop],
                    ["appstreamcli", "validate", "--no-net", "--pedantic", metainfo],
                    ["lintian", "--tag-display-limit", "0", deb]):
        result = subprocess.run(command, capture_output=True, text=True)
        output = (result.stdout + result.stderr).strip()
        print(f"$ {' '.join(os.path.basename(c) for c in command)}\n{output}", flush=True)
        check.equal(result.returncode, 0, f"{command[0]} passes")
        if command[0] == "lintian":
            check.equal([l for l in output.splitlines() if l.startswith("E:")], [],
                        "lintian reports no errors")
    with open(desktop) as entry:
        wm_class = re.search(r"^StartupWMClass=(.*)$", entry.read(), re.M).group(1)
    return wm_class


def white_point(picture):
    """A pixel of the picture inside a white patch of 9 x 9."""
    rgb = picture.convert("RGB")
    width, height = rgb.size
    for y in range(4, height - 4, 3):
        for x in range(4, width - 4, 3):
            if all(rgb.getpixel((x + dx, y + dy)) == WHITE
                   for dx in range(-4, 5) for dy in range(-4, 5)):
                return x, y
    raise AssertionError("no white patch in the default drawing")


def shows(display, path):
    """Whether the screen shows the drawing of `path`, pixel for pixel, in the box.
    Only its top part: the buttons placed under the default drawing cover the
    bottom of a taller one."""
    picture = Image.open(path).convert("RGB")
    width, height = picture.size[0], min(picture.size[1], 400)
    picture = picture.crop((0, 0, width, height))
    shot = display.screenshot().crop((BOX[0], BOX[1], BOX[0] + width, BOX[1] + height))
    return list(shot.getdata()) == list(picture.getdata())


def run_unpacked(check, root, wm_class):
    program = os.path.join(root, "usr/bin/tingolamo")
    data = os.path.join(root, "usr/share/tingolamo")
    drawings = sorted(os.listdir(os.path.join(data, "Gif")), key=natural)
    riempi = os.path.join(data, "Suoni/riempi.wav")
    disegno = os.path.join(data, "Suoni/disegno.wav")
    elsewhere = tempfile.mkdtemp(prefix="tingolamo-cwd-")
    with Display(wm=True) as display, PrivatePulse() as pulse:
        display.env["PULSE_SERVER"] = pulse.env["PULSE_SERVER"]
        old = os.getcwd()
        os.chdir(elsewhere)
        try:
            with App(program, display) as sheet:
                os.chdir(old)
                classes = display.run("xprop", "-id", sheet.window, "WM_CLASS").stdout
                check.that(f'"{wm_class}"' in classes,
                           f"the window's class {classes.strip()!r} names {wm_class!r}")
                check.that(shows(display, os.path.join(data, "Gif/cromello.gif")),
                           "the default drawing shows")

                # One recording for everything; its first sound, the swatch's
                # cue, only wakes the sound server up and is not counted.
                pulse.record_start()
                display.click(*RED_SWATCH)
                time.sleep(0.6)
                x, y = white_point(Image.open(os.path.join(data, "Gif/cromello.gif")))
                display.click(BOX[0] + x, BOX[1] + y)
                wait_until(lambda: display.screenshot().getpixel((BOX[0] + x, BOX[1] + y)) == RED,
                           what="the fill")
                time.sleep(0.6)
                for row, name in enumerate(drawings):
                    if row == 0:
                        display.click(*FIRST_ROW)
                    else:
                        display.key("Down")
                    path = os.path.join(data, "Gif", name)
                    wait_until(lambda: shows(display, path), timeout=15, what=f"{name} to show")
                    time.sleep(0.7)  # the picture cue plays to its end
                recording = pulse.record_stop(settle=0.8)
                # Whole and bit for bit: the cues are found and played from the
                # unpacked package. (A loaded machine may garble one of many.)
                check.equal(len(heard(recording, riempi)), 1, "the fill cue is heard")
                check.that(heard(recording, disegno), "the picture cue is heard")
                last = display.screenshot()
                display.key("Down")
                time.sleep(0.8)
                check.that(list(display.screenshot().getdata()) == list(last.getdata()),
                           "the list ends with the last drawing")
        finally:
            os.chdir(old)
            shutil.rmtree(elsewhere, ignore_errors=True)


def main():
    args = arguments()
    check = Checks()
    folder = tempfile.mkdtemp(prefix="tingolamo-package-")
    try:
        deb = build_package(args, folder)
        check.that(os.path.isfile(deb), f"CPack writes {os.path.basename(deb)}")
        entries = contents(deb)
        check_contents(check, args.source, entries)
        root = os.path.join(folder, "root")
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
        wm_class = judges(check, root, deb)
        run_unpacked(check, root, wm_class)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
