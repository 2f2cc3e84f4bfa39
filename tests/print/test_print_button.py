"""The print button of the real program, under Xvfb, against a private CUPS.

Two clicks give two one-page jobs showing the drawing as loaded, without the
fills made on screen; with no default printer, or a print server that never
answers, a message window appears, nothing is printed and the program goes on.
"""

import io
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

from PIL import Image, ImageDraw

from cups import PrivateCups
from harness import App, Checks, Display, arguments, program_folder, wait_until

BOX = (147, 28)  # the drawing's top-left pixel on screen
WIDTH, HEIGHT = 300, 400  # the test drawing, in pixels
INSIDE = (WIDTH // 2, HEIGHT * 3 // 4)  # a point of the big white area
BLUE = (0, 0, 255)  # the fill colour before any swatch is chosen
NO_PRINTER = "Nessuna stampante predefinita."


def drawing():
    """A black frame around one white area, with a black block at its top-left."""
    image = Image.new("P", (WIDTH, HEIGHT), 1)
    image.putpalette([0, 0, 0, 255, 255, 255] + [255, 255, 255] * 254)
    draw = ImageDraw.Draw(image)
    draw.rectangle([0, 0, WIDTH - 1, HEIGHT - 1], outline=0, width=6)
    draw.rectangle([0, 0, WIDTH // 4, HEIGHT // 4], fill=0)
    data = io.BytesIO()
    image.save(data, format="GIF")
    return data.getvalue()


def under_box(quarter):
    """A point of the strip under the drawing box: Fine is its left half, Stampa its right."""
    left, top = BOX[0] - 2, BOX[1] - 2
    box_width, box_height = WIDTH + 4, HEIGHT + 4
    return left + box_width * quarter // 4, top + box_height + 17


def print_button():
    return under_box(3)


def end_program(check, display, program, what):
    """Ends the program the one way there is, through the farewell window."""
    display.click(*under_box(1))
    found = display.run("timeout", "10", "xdotool", "search", "--sync", "--onlyvisible",
                        "--name", "^Info$", check=False)
    check.that(found.returncode == 0, f"{what}: the farewell window opens")
    if found.returncode == 0:
        window = found.stdout.split()[0]
        geometry = display.run("xdotool", "getwindowgeometry", window).stdout
        x, y = geometry.split("Position:")[1].split()[0].split(",")
        display.click(int(x) + 20, int(y) + 20)
    check.equal(program.wait_exit(10), 0, f"{what}: the program ends normally")


def screen(point):
    return BOX[0] + point[0], BOX[1] + point[1]


def render(pdf):
    with tempfile.TemporaryDirectory() as folder:
        stem = Path(folder) / "pagina"
        subprocess.run(["pdftoppm", "-r", "72", "-singlefile", "-png", str(pdf), str(stem)],
                       check=True, timeout=60)
        return Image.open(f"{stem}.png").convert("RGB")


def pages(pdf):
    text = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True,
                          timeout=30).stdout
    for line in text.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    return 0


def coloured(image):
    """How many pixels of the page have any colour at all (not black, grey or white)."""
    return sum(1 for r, g, b in image.getdata() if max(r, g, b) - min(r, g, b) > 40)


def message_windows(display):
    found = display.run("xdotool", "search", "--onlyvisible", "--name", "^TINGOLAMO$",
                        check=False)
    return max(0, len(found.stdout.split()) - 1)


def no_printer_case(check, display, app, env, what, wait, end=False):
    """A click on Stampa: a message window, nothing else, and the program goes on."""
    with App(app, display, env=env) as program:
        display.click(*print_button())
        wait_until(lambda: message_windows(display) == 1, timeout=wait,
                   what=f"the message window ({what})")
        display.key("Return")
        wait_until(lambda: message_windows(display) == 0, what="the message to close")
        check.that(program.proc.poll() is None, f"{what}: the program keeps running")
        # Still answering: a fill on the drawing shows.
        display.click(*screen(INSIDE))
        wait_until(lambda: display.screenshot().getpixel(screen(INSIDE)) == BLUE,
                   what=f"a fill after the message ({what})")
        if end:
            end_program(check, display, program, what)


def printing(check, display, app):
    with PrivateCups() as cups, App(app, display, env=client_env(cups)):
        display.click(*screen(INSIDE))
        wait_until(lambda: display.screenshot().getpixel(screen(INSIDE)) == BLUE,
                   what="the fill on screen")
        display.click(*print_button())
        display.click(*print_button())
        jobs = cups.wait_for_jobs(2)
        time.sleep(1)
        check.equal(len(cups.jobs()), 2, "two clicks, two jobs")
        check.equal([pages(f) for f in cups.submitted_files()], [1, 1],
                    "each job is one page")
        for number, document in enumerate(cups.submitted_files(), 1):
            page = render(document)
            check.equal(page.size, (612, 792), f"job {number}: a portrait Letter page")
            check.equal(coloured(page), 0, f"job {number}: no fill on paper")
            # Letter less the test printer's edges (36 left, 54 top, 18 right,
            # 72 bottom points); the 3:4 drawing takes the full height.
            box = page.convert("L").point(lambda v: 255 if v < 128 else 0).getbbox()
            check.that(box is not None and abs(box[0] - 36) <= 2 and abs(box[1] - 54) <= 2
                       and abs(box[3] - 720) <= 2 and abs(box[2] - 535.5) <= 2,
                       f"job {number}: the drawing from the printable area's corner: {box}")
            inside = (36 + 499.5 * INSIDE[0] / WIDTH, 54 + 666 * INSIDE[1] / HEIGHT)
            check.equal(page.getpixel(inside), (255, 255, 255),
                        f"job {number}: the filled area is white on paper")
        check.equal(len(jobs), 2, "the printer received both")


def client_env(cups):
    env = cups.env
    return {name: env[name] for name in ("CUPS_SERVER", "HOME")}


class SilentServer:
    """A socket that takes connections and never answers."""

    def __init__(self, folder):
        self.path = Path(folder) / "muto.sock"
        self.listener = socket.socket(socket.AF_UNIX)
        self.held = []

    def __enter__(self):
        self.listener.bind(str(self.path))
        self.listener.listen(16)
        threading.Thread(target=self._accept, daemon=True).start()
        return self

    def _accept(self):
        while True:
            try:
                self.held.append(self.listener.accept()[0])
            except OSError:
                return

    def __exit__(self, *exc):
        self.listener.close()
        for connection in self.held:
            connection.close()


def main():
    args = arguments()
    if os.geteuid() != 0:
        print("skipped: the private print server's backend needs root")
        return 77
    for name in ("PRINTER", "LPDEST"):
        os.environ.pop(name, None)
    app = program_folder(args.app, gifs=[("cromello.gif", drawing())], cues=False)
    check = Checks()
    with Display() as display:
        printing(check, display, app)
        with PrivateCups(default=False) as cups:
            no_printer_case(check, display, app, client_env(cups), "no default printer", 10)
            check.equal(cups.jobs() + cups.submitted_files(), [], "nothing printed")
        with tempfile.TemporaryDirectory() as folder, SilentServer(folder) as server:
            env = {"CUPS_SERVER": str(server.path), "HOME": folder}
            # The lookup left waiting on the server must not upset the ending.
            no_printer_case(check, display, app, env, "a server that never answers", 20,
                            end=True)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
