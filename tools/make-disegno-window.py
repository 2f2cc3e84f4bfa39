#!/usr/bin/python3
"""Regenerates docs/disegno-finestra.png, the README's picture of the window
of tingolamo-disegno.

    /usr/bin/python3 tools/make-disegno-window.py [build folder]

Draws the parent's page of tools/make-disegno-example.py, opens it in the
built window (default folder: build/) on a private Xvfb screen with openbox,
waits until the page is shown and takes a picture of the window. Needs
Pillow, Xvfb, openbox, xdotool, imagemagick and the AT-SPI packages of
`make test`.
"""

import io
import pathlib
import runpy
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests/e2e"))

from PIL import Image  # noqa: E402

from atspi import AccessibilityBus, walk  # noqa: E402
from harness import Display, wait_until  # noqa: E402

TITLE = "Aggiungi un disegno a TINGOLAMO"


def scanned_page():
    """The page of tools/make-disegno-example.py, which this picture shows."""
    example = runpy.run_path(str(ROOT / "tools/make-disegno-example.py"), run_name="example")
    return example["scanned_page"]()


def main():
    build = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build"
    with tempfile.TemporaryDirectory() as work:
        picture = pathlib.Path(work) / "casa.jpg"
        scanned_page().save(picture, quality=85)
        with Display(wm=True) as display, AccessibilityBus(display) as bus:
            window = subprocess.Popen(
                [str(build / "tingolamo-disegno"), "--finestra", "--cartella", work, str(picture)],
                env=dict(display.env, **bus.app_env))
            try:
                wait_until(lambda: any(n.get_name().startswith("Il disegno ha")
                                       for n in walk(bus.window(TITLE, "tingolamo-disegno"))),
                           timeout=30, what="the page")
                found = display.run("xdotool", "search", "--name", f"^{TITLE}$").stdout.split()
                shot = subprocess.run(["import", "-window", found[0], "png:-"], env=display.env,
                                      capture_output=True, check=True).stdout
                # A palette of its few colours keeps the grain of the scan small.
                Image.open(io.BytesIO(shot)).quantize(32).save(
                    ROOT / "docs/disegno-finestra.png", optimize=True)
            finally:
                window.kill()
                window.wait(5)


if __name__ == "__main__":
    main()
