"""The arm64 package, as Raspberry Pi OS Bookworm 64-bit (Debian 12 arm64) gets it.

Builds the package of the cross build with CPack into a temporary folder and
checks its fields and that every program file in it is arm64 code. Has apt
install it, simulated, on an empty Debian 12 arm64 system made of the
archive's arm64 package lists, so every Depends must name a package of
Debian 12 arm64 in a version it has. Then unpacks it and starts the program
under the user-mode emulator on Xvfb from another folder: the sheet shows the
default drawing, a release paints exactly the area under the pointer, and the
fill cue is heard.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw

from cues import heard
from drawings import white_point
from harness import App, Checks, Display, wait_until
from pulse import PrivatePulse

BOX = (147, 28)  # the drawing's top-left pixel on screen
BLUE = (0, 0, 255)  # the fill colour before any swatch is chosen
EM_AARCH64 = 183


def arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--config", required=True, help="the build tree's CPackConfig.cmake")
    parser.add_argument("--emulator", required=True, nargs="+")
    return parser.parse_args()


def build_package(args, folder):
    subprocess.run([args.cpack, "-G", "DEB", "--config", args.config, "-B", folder],
                   check=True, stdout=subprocess.DEVNULL)
    return os.path.join(folder, "tingolamo_2.00-1_arm64.deb")


def fields(deb):
    names = ("Package", "Version", "Architecture", "Depends")
    return {name: subprocess.run(["dpkg-deb", "--field", deb, name], check=True,
                                 capture_output=True, text=True).stdout.strip()
            for name in names}


def check_fields(check, deb):
    found = fields(deb)
    print(f"Depends: {found['Depends']}", flush=True)
    check.equal((found["Package"], found["Version"], found["Architecture"]),
                ("tingolamo", "2.00-1", "arm64"), "the package's name, version and architecture")
    depends = [alternative.strip().split()[0]
               for item in found["Depends"].split(",") for alternative in item.split("|")]
    # The build machine's cross libraries, or a package of its own architecture,
    # exist on no Raspberry Pi.
    check.equal([d for d in depends if "-cross" in d or ":" in d], [],
                "Depends names the target's own packages")
    for library in ("libc6", "libqt6widgets6", "libgif7", "libsndfile1", "libpulse0",
                    "libcups2", "libpoppler-qt6-3"):
        check.that(library in depends, f"the shared libraries' packages are found: {library}")


def machine(path):
    """The ELF machine number of a file, or None for a file that is not ELF."""
    with open(path, "rb") as file:
        header = file.read(20)
    if header[:4] != b"\x7fELF":
        return None
    return int.from_bytes(header[18:20], "little")


def check_code(check, root):
    machines = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            if not os.path.islink(path) and (number := machine(path)) is not None:
                machines[os.path.relpath(path, root)] = number
    check.that("usr/lib/tingolamo/tingolamo_suoni.so" in machines, "the cue module is there")
    check.equal({p: m for p, m in machines.items() if m != EM_AARCH64}, {},
                f"every one of the {len(machines)} program files is arm64 code")


def check_installs(check, deb, scratch):
    """apt's own resolver, on a Debian 12 arm64 system with nothing installed."""
    status = os.path.join(scratch, "status")
    open(status, "w").close()
    result = subprocess.run(
        ["apt-get", "--simulate", "--no-install-recommends",
         "-o", f"Dir::State::status={status}", "-o", "APT::Architecture=arm64",
         "-o", "APT::Architectures::=arm64", "install", deb],
        capture_output=True, text=True, env=dict(os.environ, LC_ALL="C"))
    output = result.stdout + result.stderr
    installed = [line.split()[1] for line in output.splitlines() if line.startswith("Inst ")]
    if result.returncode != 0 or "tingolamo" not in installed:
        print(output, flush=True)
    check.equal(result.returncode, 0, "apt installs it on an empty Debian 12 arm64 system")
    check.that("tingolamo" in installed and "libqt6widgets6" in installed,
               f"with its libraries ({len(installed)} packages)")


def painted(picture, point):
    """The drawing after a blue border fill at `point`, four neighbours connected."""
    expected = picture.copy()
    ImageDraw.floodfill(expected, point, BLUE, border=(0, 0, 0))
    return expected


def box(display, size):
    """The pixels of the drawing box's top-left `size` on the screen."""
    shot = display.screenshot()
    return shot.crop((BOX[0], BOX[1], BOX[0] + size[0], BOX[1] + size[1])).tobytes()


def run_emulated(check, root, emulator):
    program = os.path.join(root, "usr/bin/tingolamo")
    data = os.path.join(root, "usr/share/tingolamo")
    riempi = os.path.join(data, "Suoni/riempi.wav")
    drawing = Image.open(os.path.join(data, "Gif/cromello.gif")).convert("RGB")
    point = white_point(drawing)
    expected = painted(drawing, point)
    elsewhere = tempfile.mkdtemp(prefix="tingolamo-cwd-")
    old = os.getcwd()
    with Display(wm=True) as display, PrivatePulse() as pulse:
        env = {"PULSE_SERVER": pulse.env["PULSE_SERVER"]}
        os.chdir(elsewhere)
        try:
            # The emulator is the process; the program is its argument.
            with App(emulator[0], display, env=env, args=[*emulator[1:], program]):
                os.chdir(old)
                shown = wait_until(lambda: box(display, drawing.size) == drawing.tobytes(),
                                   timeout=30, what="the default drawing")
                check.that(shown, "the sheet shows the default drawing")
                pulse.record_start()
                display.click(BOX[0] + point[0], BOX[1] + point[1])
                wait_until(lambda: box(display, drawing.size) != drawing.tobytes(), timeout=30,
                           what="the fill")
                check.that(box(display, drawing.size) == expected.tobytes(),
                           "the fill paints exactly the area under the pointer")
                # The cue plays to its end, slower under the emulator.
                recording = pulse.record_stop(settle=3.0)
                check.equal(len(heard(recording, riempi)), 1, "the fill cue is heard, whole")
        finally:
            os.chdir(old)
            shutil.rmtree(elsewhere, ignore_errors=True)


def main():
    args = arguments()
    check = Checks()
    folder = tempfile.mkdtemp(prefix="tingolamo-package-arm64-")
    try:
        deb = build_package(args, folder)
        size = os.path.getsize(deb)
        print(f"{os.path.basename(deb)}: {size} bytes", flush=True)
        check_fields(check, deb)
        root = os.path.join(folder, "root")
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
        check_code(check, root)
        check_installs(check, deb, folder)
        run_emulated(check, root, args.emulator)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
