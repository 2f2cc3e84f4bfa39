#!/usr/bin/python3
"""Checks the committed picture files of art/ and the Windows resource
script, byte by byte where Qt would hide the detail.

    check_art_files.py <source tree>

Exits 0 when all is well, 1 on a fault, 77 (skipped) when every picture is
right but no resource compiler is installed to check art/tingolamo.rc.
"""

import pathlib
import re
import shutil
import struct
import subprocess
import sys

from PIL import Image

BASIC_COLOURS = {
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
}
BUTTON_PICTURES = ("icona", "stampa", "fine", "stella", "spunta")
FAREWELL_PICTURES = {"Image1": (59, 70), "Image2": (223, 216),
                     "Image1@2x": (118, 140), "Image2@2x": (446, 432)}
ICON_SIZES = (16, 32, 48, 64)
WINDRES = "x86_64-w64-mingw32-windres"

faults = []


def check(condition, message):
    if not condition:
        faults.append(message)
    return condition


def check_button_picture(path, side):
    with Image.open(path) as picture:
        check(picture.format == "PNG" and picture.mode == "RGBA", f"{path.name}: not an RGBA PNG")
        check(picture.size == (side, side), f"{path.name}: {picture.size}")
        colours = {rgba[:3] for _, rgba in picture.convert("RGBA").getcolors(side * side) if rgba[3]}
    check(colours <= BASIC_COLOURS, f"{path.name}: colours outside the basic sixteen: {colours - BASIC_COLOURS}")


def gif_blocks(data):
    """The labels of the blocks after the header and global colour table:
    0x2C for an image, 0x21 followed by its kind for an extension."""
    flags = data[10]
    at = 13 + (3 << ((flags & 7) + 1) if flags & 0x80 else 0)
    blocks = []
    while at < len(data) and data[at] != 0x3B:
        label = data[at]
        if label == 0x21:
            blocks.append((0x21, data[at + 1], data[at + 3 : at + 3 + data[at + 2]]))
            at += 2
        elif label == 0x2C:
            blocks.append((0x2C, None, b""))
            local = data[at + 9]
            at += 10 + (3 << ((local & 7) + 1) if local & 0x80 else 0) + 1
        else:
            raise ValueError(f"unexpected block 0x{label:02X} at byte {at}")
        while data[at]:
            at += data[at] + 1
        at += 1
    return blocks


def check_farewell_picture(path, size):
    data = path.read_bytes()
    name = path.name
    check(data[:6] == b"GIF89a", f"{name}: header {data[:6]!r}")
    check(struct.unpack("<HH", data[6:10]) == size, f"{name}: screen size {struct.unpack('<HH', data[6:10])}")
    check(data[10] & 0x80 and data[10] & 7 == 7, f"{name}: the global palette does not hold 256 entries")
    check(data[13:16] == b"\xff\xff\xff", f"{name}: palette entry 0 is not white")
    blocks = gif_blocks(data)
    check([b[0] for b in blocks].count(0x2C) == 1, f"{name}: not exactly one image")
    controls = [b[2] for b in blocks if b[:2] == (0x21, 0xF9)]
    check(len(controls) == 1 and controls[0][0] & 1 and controls[0][3] == 0, f"{name}: index 0 is not transparent")

    with Image.open(path) as picture:
        check(picture.size == size, f"{name}: {picture.size}")
        check(getattr(picture, "n_frames", 1) == 1, f"{name}: more than one frame")
        check(picture.info.get("transparency") == 0, f"{name}: transparency {picture.info.get('transparency')}")
        palette = picture.getpalette()
        check(len(palette) == 768, f"{name}: {len(palette) // 3} palette entries")
        used = {index for _, index in picture.getcolors(256)}
    whites = {i for i in used if i and tuple(palette[3 * i : 3 * i + 3]) == (255, 255, 255)}
    check(not whites, f"{name}: pure white inside the figure, entries {sorted(whites)}")
    check(0 in used, f"{name}: no transparent surround")


def check_icon_file(art):
    path = art / "tingolamo.ico"
    data = path.read_bytes()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    check((reserved, kind, count) == (0, 1, len(ICON_SIZES)), f"tingolamo.ico: header {reserved, kind, count}")
    for i, side in enumerate(ICON_SIZES):
        entry = struct.unpack("<BBBBHHII", data[6 + 16 * i : 22 + 16 * i])
        width, height, colours, bits = entry[0], entry[1], entry[2], entry[5]
        check((width, height, colours, bits) == (side, side, 16, 4),
              f"tingolamo.ico: entry {i} is {side} x {side} in {colours} colours, {bits} bits")
    with Image.open(path) as icon:
        check(set(icon.ico.sizes()) == {(s, s) for s in ICON_SIZES}, f"tingolamo.ico: sizes {icon.ico.sizes()}")
        for side in (32, 64):
            entry = icon.ico.getimage((side, side)).convert("RGBA")
            with Image.open(art / f"icona-{side}.png") as png:
                check(list(entry.getdata()) == list(png.convert("RGBA").getdata()),
                      f"tingolamo.ico: the {side}-pixel entry differs from icona-{side}.png")


def project_version(root):
    found = re.search(r"project\(tingolamo VERSION ([\d.]+)", (root / "CMakeLists.txt").read_text())
    return found.group(1).split(".") if found else None


def check_resource_script(root):
    """Compiles art/tingolamo.rc and reads back what it would embed."""
    if not shutil.which(WINDRES):
        return False
    compiled = subprocess.run(
        [WINDRES, "--preprocessor=cpp", "-i", "tingolamo.rc", "-O", "rc"],
        cwd=root / "art", capture_output=True, text=True)
    if not check(compiled.returncode == 0, f"tingolamo.rc does not compile: {compiled.stderr.strip()}"):
        return True
    text = compiled.stdout
    major, minor, patch, tweak = project_version(root) or ("0",) * 4
    expected = [
        "Has 4 elements",
        f"FILEVERSION {major}, {minor}, {patch}, {tweak}",
        f"PRODUCTVERSION {major}, {minor}, {patch}, {tweak}",
        'BLOCK "041004B0"',
        f'VALUE "FileVersion", "{major}.{int(minor):02d}"',
        f'VALUE "ProductVersion", "{major}.{int(minor):02d}"',
        'VALUE "ProductName", "TINGOLAMO"',
        'VALUE "Translation", 0x410, 1200',
        "LANGUAGE 16, 1",
        "1 24 /* RT_MANIFEST */",
        # the manifest: per-monitor DPI awareness, UTF-8 as the 8-bit code
        # page, Windows 10 and 11
        "PerMonitorV2</dpiAwareness>",
        "UTF-8</activeCodePage>",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
    ]
    for line in expected:
        check(line in text, f"tingolamo.rc: '{line}' is not in the compiled resources")
    description = re.search(r'VALUE "FileDescription", "([^"]+)"', text)
    check(description and "colorare" in description.group(1), "tingolamo.rc: no Italian file description")
    return True


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    art = root / "art"
    for name in BUTTON_PICTURES:
        for side in (32, 64):
            check_button_picture(art / f"{name}-{side}.png", side)
    for name, size in FAREWELL_PICTURES.items():
        check_farewell_picture(art / "saluti" / f"{name}.gif", size)
    check_icon_file(art)
    checked_script = check_resource_script(root)
    for fault in faults:
        print("FAULT:", fault)
    if faults:
        return 1
    if not checked_script:
        print(f"SKIPPED: {WINDRES} (Debian binutils-mingw-w64-x86-64) is not installed; tingolamo.rc is unchecked")
        return 77
    print("all picture files and the resource script are as they should be")
    return 0


if __name__ == "__main__":
    sys.exit(main())
