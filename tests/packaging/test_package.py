"""The Debian package: what it holds, what the judges say, and the unpacked program.

Builds the package with CPack from the build tree into a temporary folder,
checks its file list against the sources, runs desktop-file-validate on both
menu entries, appstreamcli, xmllint on the polkit action and lintian (with its
hardening checks) on it, unpacks it into a temporary root and starts
<root>/usr/bin/tingolamo under Xvfb from another folder: the default drawing
shows, the list walks through every drawing, a fill paints and is heard. As
root, the window of tingolamo-disegno then adds a page through pkexec and a
real polkitd (admin_write.py, in a mount namespace of its own).
"""

import argparse
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

from PIL import Image

from cues import heard
from drawings import white_point
from harness import App, Checks, Display, wait_until
from pulse import PrivatePulse

BOX = (147, 28)  # the drawing's top-left pixel on screen
FIRST_ROW = (560, 38)
RED = (255, 0, 0)
RED_SWATCH = (75, 248)  # the second swatch of the palette of four
HELPER = "tingolamo-disegno-scrivi"


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
              f"/usr/share/applications/{app_id}.disegno.desktop",
              f"/usr/share/metainfo/{app_id}.metainfo.xml",
              f"/usr/share/polkit-1/actions/{app_id}.policy",
              f"/usr/lib/tingolamo/{HELPER}",
              "/usr/share/lintian/overrides/tingolamo",
              "/usr/share/doc/tingolamo/copyright",
              "/usr/share/doc/tingolamo/changelog.Debian.gz"}
    links = {"/usr/lib/tingolamo/Gif": "../../share/tingolamo/Gif",
             "/usr/lib/tingolamo/Suoni": "../../share/tingolamo/Suoni"}
    files |= {"/usr/lib/tingolamo/tingolamo_suoni.so", "/usr/lib/tingolamo/tingolamo_stampa.so"}
    # Every executable of the program folder is a command on the path, but the
    # helper that only pkexec starts.
    commands = {os.path.basename(p) for p, link in entries.items()
                if p.startswith("/usr/lib/tingolamo/") and link is None
                and not p.endswith(".so") and not p.endswith(HELPER)}
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


def judges(check, root, deb, build):
    app_id = "org.example.tingolamo"
    desktop = os.path.join(root, f"usr/share/applications/{app_id}.desktop")
    window = os.path.join(root, f"usr/share/applications/{app_id}.disegno.desktop")
    metainfo = os.path.join(root, f"usr/share/metainfo/{app_id}.metainfo.xml")
    policy = os.path.join(root, f"usr/share/polkit-1/actions/{app_id}.policy")
    for command in (["desktop-file-validate", desktop],
                    ["desktop-file-validate", window],
                    ["appstreamcli", "validate", "--no-net", "--pedantic", metainfo],
                    ["xmllint", "--noout", "--dtdvalid", "/usr/share/polkit-1/policyconfig-1.dtd",
                     policy],
                    ["lintian", "--display-info", "--show-overrides", "--tag-display-limit", "0",
                     deb]):
        result = subprocess.run(command, capture_output=True, text=True)
        output = (result.stdout + result.stderr).strip()
        print(f"$ {' '.join(os.path.basename(c) for c in command)}\n{output}", flush=True)
        check.equal(result.returncode, 0, f"{command[0]} passes")
        if command[0] == "lintian":
            tags = [l for l in output.splitlines() if l[:2] in ("E:", "W:", "I:")]
            check.equal([l for l in tags if l.startswith("E:")], [], "lintian reports no errors")
            check.equal([l for l in tags if ": hardening-" in l], [],
                        "lintian finds every binary hardened")
    check_hardening_flags(check, build)
    check_window_entry(check, window)
    check_policy(check, root, policy)
    with open(desktop) as entry:
        wm_class = re.search(r"^StartupWMClass=(.*)$", entry.read(), re.M).group(1)
    return wm_class


def check_hardening_flags(check, build):
    """What lintian cannot see where no call has a size to check: every
    source is compiled with the stack protector and fortified calls."""
    with open(os.path.join(build, "compile_commands.json")) as commands:
        compiled = json.load(commands)
    unhardened = [c["file"] for c in compiled
                  if "-fstack-protector-strong" not in c["command"]
                  or "-D_FORTIFY_SOURCE=2" not in c["command"]]
    check.that(compiled and not unhardened, f"sources built without hardening: {unhardened[:3]}")


def check_window_entry(check, path):
    """The menu entry of the window: its names, and the kinds of pictures a
    file manager offers it under "Apri con"."""
    with open(path) as entry:
        keys = dict(line.split("=", 1) for line in entry.read().splitlines() if "=" in line)
    check.equal(keys.get("Name[it]"), "Aggiungi un disegno a TINGOLAMO", "the window's Italian name")
    check.that(keys.get("Exec", "").startswith("tingolamo-disegno --finestra %f"),
               f"the window's entry opens one file: {keys.get('Exec')!r}")
    check.equal(set(keys.get("MimeType", "").strip(";").split(";")),
                {"image/png", "image/jpeg", "image/gif", "image/bmp", "image/svg+xml",
                 "image/svg+xml-compressed", "application/pdf"},
                "the kinds of pictures the window opens")


def check_policy(check, root, path):
    """The polkit action: for the helper at its installed path, and only with
    an administrator's password, kept for a while."""
    action = ElementTree.parse(path).getroot().find("action")
    check.equal(action.get("id"), "org.example.tingolamo.aggiungi-disegno", "the action's id")
    check.equal({d.tag: d.text for d in action.find("defaults")},
                {"allow_any": "auth_admin_keep", "allow_inactive": "auth_admin_keep",
                 "allow_active": "auth_admin_keep"}, "who may run the helper")
    check.that("amministratore" in action.findtext("message", ""), "the action's Italian message")
    program = {a.get("key"): a.text for a in action.findall("annotate")}.get(
        "org.freedesktop.policykit.exec.path")
    check.equal(program, f"/usr/lib/tingolamo/{HELPER}", "the program pkexec may start")
    check.that(os.access(os.path.join(root, program.lstrip("/")), os.X_OK),
               "the package holds the helper the action names")


def admin_write(check, source, root):
    """The window's "Aggiungi" through pkexec and a real polkitd, which needs
    root for its mount namespace and private system bus."""
    if os.geteuid() != 0:
        print("SKIP: adding a page through pkexec needs root", flush=True)
        return
    probe = subprocess.run(["unshare", "--mount", "--propagation", "private", "mount", "-t",
                            "overlay", "overlay", "-o", "lowerdir=/usr/share:/usr/lib", "/mnt"],
                           capture_output=True, text=True)
    if probe.returncode != 0:
        print(f"SKIP: no mount namespace with overlays here: {probe.stderr.strip()}", flush=True)
        return
    result = subprocess.run(
        ["unshare", "--mount", "--propagation", "private", sys.executable,
         os.path.join(source, "tests/packaging/admin_write.py"), "--root", root],
        capture_output=True, text=True, timeout=240)
    print(result.stdout + result.stderr, flush=True)
    check.equal(result.returncode, 0, "the window adds a page through pkexec and polkitd")


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
        wm_class = judges(check, root, deb, os.path.dirname(args.config))
        run_unpacked(check, root, wm_class)
        admin_write(check, args.source, root)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
