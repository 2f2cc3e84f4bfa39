"""The window of tingolamo-disegno under Xvfb, as a parent uses it.

Opened with a picture, it shows the picture and the page made from it (pixel
for pixel the page the command makes) with the number of areas, and
"Aggiungi" writes that page into a writable folder. A picture that cannot
become a page is refused in one sentence, with nothing written. Started with
no picture, it asks for one with Qt's Italian file chooser, which offers only
pictures. What it says is read as a screen reader reads it.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw

from atspi import AccessibilityBus, states, walk
from harness import Checks, Display, arguments, wait_until

TITLE = "Aggiungi un disegno a TINGOLAMO"
APPLICATION = "tingolamo-disegno"


def house(path):
    """A picture of a house in red pencil on cream paper: a page of a few areas."""
    picture = Image.new("RGB", (710, 1120), (250, 240, 200))
    draw = ImageDraw.Draw(picture)
    pencil = dict(outline=(150, 20, 20), width=8)
    draw.rectangle([40, 40, 670, 1080], **pencil)
    draw.rectangle([140, 520, 570, 940], **pencil)
    draw.rectangle([300, 740, 410, 940], **pencil)
    draw.line([130, 525, 355, 300, 580, 525], fill=(150, 20, 20), width=8)
    picture.save(path)


class Window:
    """tingolamo-disegno --finestra, started in the background."""

    def __init__(self, app, display, bus, arguments):
        self.log = tempfile.TemporaryFile()
        env = dict(display.env, **bus.app_env)
        self.proc = subprocess.Popen([app, "--finestra", *arguments], env=env,
                                     stdout=self.log, stderr=subprocess.STDOUT)
        self.bus = bus

    def node(self, title, role=None, name=None):
        """The first node of that role and name (either may be left out) in
        the window `title`, once it is there."""
        def found():
            for node in walk(self.bus.window(title, APPLICATION)):
                if role in (None, node.get_role_name()) and name in (None, node.get_name()):
                    return node
            return None
        return wait_until(found, timeout=20, what=f"a {role} {name or ''} in {title!r}")

    def sentence(self, starting):
        label = lambda: [n.get_name() for n in walk(self.bus.window(TITLE, APPLICATION))
                         if n.get_role_name() == "label" and n.get_name().startswith(starting)]
        return wait_until(label, timeout=20, what=f"a sentence {starting!r}")[0]

    def output(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(5)


def shows(display, node, page_path):
    """Whether the box `node` shows the page, centred, pixel for pixel."""
    page = Image.open(page_path).convert("RGB")
    box = node.get_extents(0)
    left = box.x + (box.width - page.width) // 2
    top = box.y + (box.height - page.height) // 2
    shot = display.screenshot().crop((left, top, left + page.width, top + page.height))
    return list(shot.getdata()) == list(page.getdata())


def adds_a_page(check, app, display, bus, work):
    picture = os.path.join(work, "Casa.png")
    house(picture)
    expected = os.path.join(work, "attesi")
    os.mkdir(expected)
    made = subprocess.run([app, "--cartella", expected, picture], capture_output=True, text=True)
    areas = re.search(r"(\d+) aree", made.stdout).group(1)
    folder = os.path.join(work, "disegni")
    os.mkdir(folder)
    window = Window(app, display, bus, ["--cartella", folder, picture])
    try:
        check.equal(window.sentence("Il disegno ha"), f"Il disegno ha {areas} aree da colorare.",
                    "the sentence of a page")
        drawing = window.node(TITLE, name="Anteprima del disegno")
        check.that(shows(display, drawing, os.path.join(expected, "casa.gif")),
                   "the window shows the page the command makes")
        image = window.node(TITLE, name="Anteprima dell'immagine").get_extents(0)
        shot = display.screenshot().crop((image.x, image.y, image.x + image.width,
                                          image.y + image.height))
        check.that(any(r - g > 80 for r, g, _ in shot.getdata()),
                   "the window shows the picture in its red pencil")
        check.equal(os.listdir(folder), [], "nothing is written before Aggiungi")
        window.node(TITLE, "push button", "Aggiungi").do_action(0)
        written = os.path.join(folder, "casa.gif")
        wait_until(lambda: os.path.exists(written), what="the page to be written")
        with open(written, "rb") as page, open(os.path.join(expected, "casa.gif"), "rb") as same:
            check.that(page.read() == same.read(), "Aggiungi writes the page it shows")
        check.equal(oct(os.stat(written).st_mode & 0o777), "0o644", "the page's mode")
        check.that(window.sentence("Fatto").startswith("Fatto: casa.gif è tra i disegni"),
                   "the window says the page is added")
        check.that(f"{picture}: scritto {written}" in window.output(),
                   "the window prints the command's line")
    finally:
        window.close()


def refuses_a_blank_page(check, app, display, bus, work):
    picture = os.path.join(work, "bianca.png")
    Image.new("RGB", (600, 800), (240, 240, 235)).save(picture)
    folder = os.path.join(work, "vuota")
    os.mkdir(folder)
    window = Window(app, display, bus, ["--cartella", folder, picture])
    try:
        check.equal(window.sentence("Questa immagine"),
                    "Questa immagine non può diventare un disegno: niente da colorare (1 area).",
                    "the sentence of a refused picture")
        add = window.node(TITLE, "push button", "Aggiungi")
        check.that("enabled" not in states(add), "Aggiungi cannot be pressed")
        check.equal(os.listdir(folder), [], "nothing is written for a refused picture")
    finally:
        window.close()


def asks_for_a_picture(check, app, display, bus, work):
    """No picture given: Qt's file chooser, in Italian, offering pictures only."""
    chooser = "Scegli un'immagine da trasformare in disegno"
    folder = os.path.join(work, "scelta")
    os.mkdir(folder)
    window = Window(app, display, bus, ["--cartella", folder])
    try:
        check.that(window.node(chooser, "push button", "Apri"), "the chooser's Apri button")
        kinds = [node.get_name() for node in walk(bus.window(chooser, APPLICATION))
                 if node.get_role_name() == "combo box"]
        check.that(any(k.startswith("Immagini (*.png *.PNG *.jpg") for k in kinds),
                   f"the chooser offers pictures only: {kinds!r}")
        display.run("xdotool", "type", "--delay", "20", os.path.join(work, "Casa.png"))
        display.key("Return")
        check.that(window.sentence("Il disegno ha"), "the chosen picture becomes a page")
    finally:
        window.close()


def main():
    args = arguments()
    check = Checks()
    work = tempfile.mkdtemp(prefix="tingolamo-finestra-")
    try:
        with Display(wm=True) as display, AccessibilityBus(display) as bus:
            adds_a_page(check, args.app, display, bus, work)
            refuses_a_blank_page(check, args.app, display, bus, work)
            asks_for_a_picture(check, args.app, display, bus, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
