"""Printing a picture through the real printer path against a private CUPS.

Drives stampa_cli (which calls stampaPagina, as the print button does) with
GIF files made here, and looks at what reached the print server: the document
as the program sent it (its page size and orientation, and, rendered, where
the drawing lies) and the page as the printer got it.

    test_stampa_cups.py --cli <path of stampa_cli>
"""

import argparse
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from pathlib import Path

from PIL import Image, ImageDraw

from cups import PAPER, PrivateCups

CLI = None
NO_PRINTER = "Nessuna stampante predefinita."
NO_ANSWER = "Il servizio di stampa non risponde: il disegno non è stato stampato."


# ------------------------------------------------------------------ pictures
def write_gif(path, width, height):
    """A black frame with a filled block in its top-left corner."""
    image = Image.new("P", (width, height), 1)
    image.putpalette([0, 0, 0, 255, 255, 255] + [255, 255, 255] * 254)
    draw = ImageDraw.Draw(image)
    draw.rectangle([0, 0, width - 1, height - 1], outline=0, width=max(4, width // 60))
    draw.rectangle([0, 0, width // 4, height // 4], fill=0)
    image.save(path)
    return path


def expected_rect(paper, margins, width, height):
    """Where the drawing belongs on the page the program sends, in points.

    The page is portrait for a picture at least as tall as wide. The printable
    area is the paper less the printer's edges; a landscape page keeps clear of
    the wider of the two edges each of its sides may fall on. The picture keeps
    its proportions and reaches the area's right or bottom edge from its
    top-left corner.
    """
    paper_w, paper_h = PAPER[paper]
    if height >= width:
        left, top, right, bottom = (margins["left"], margins["top"], margins["right"],
                                    margins["bottom"])
    else:
        paper_w, paper_h = paper_h, paper_w
        left = right = max(margins["top"], margins["bottom"])
        top = bottom = max(margins["left"], margins["right"])
    area_w, area_h = paper_w - left - right, paper_h - top - bottom
    if width / height >= area_w / area_h:
        size = (area_w, area_w * height / width)
    else:
        size = (area_h * width / height, area_h)
    return (paper_w, paper_h), (left, top, left + size[0], top + size[1])


def render(pdf):
    """The PDF's single page as a greyscale image at 72 dots per inch."""
    with tempfile.TemporaryDirectory() as folder:
        stem = Path(folder) / "pagina"
        subprocess.run(["pdftoppm", "-r", "72", "-gray", "-singlefile", "-png", str(pdf),
                        str(stem)], check=True, timeout=60)
        return Image.open(f"{stem}.png").convert("L")


def ink_box(image):
    return image.point(lambda v: 255 if v < 128 else 0).getbbox()


def pdf_info(pdf):
    text = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True,
                          check=True, timeout=30).stdout
    fields = dict(line.split(":", 1) for line in text.splitlines() if ":" in line)
    width, _, height = fields["Page size"].split()[:3]
    return int(fields["Pages"]), (round(float(width)), round(float(height)))


def print_picture(env, picture, *options, timeout=60):
    result = subprocess.run([CLI, *options, str(picture)], env=env, capture_output=True,
                            text=True, timeout=timeout)
    lines = result.stdout.splitlines()
    if result.returncode < 0 or result.returncode > 1:
        raise AssertionError(f"stampa_cli ended with {result.returncode}: {result.stderr}")
    return [line.split("\t")[0] for line in lines]


class PrintCase(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp(prefix="tingolamo-stampa-"))

    def tearDown(self):
        subprocess.run(["rm", "-rf", str(self.folder)], check=False)

    def gif(self, width, height):
        return write_gif(self.folder / f"figura-{width}x{height}.gif", width, height)

    def assertClose(self, actual, expected, slack=2.0, what=""):
        for a, e in zip(actual, expected):
            self.assertLessEqual(abs(a - e), slack, f"{what}: {actual} vs {expected}")


class PrintedPage(PrintCase):
    # Each picture, with its case: portrait or landscape, full width (blank
    # strip at the bottom) or full height (blank strip at the right).
    PICTURES = [(300, 400), (500, 520), (400, 300), (500, 480), (400, 400)]

    def test_orientation_and_placement(self):
        with PrivateCups() as cups:
            for width, height in self.PICTURES:
                self.assertEqual(print_picture(cups.env, self.gif(width, height)),
                                 ["stampato"])
            cups.wait_for_jobs(len(self.PICTURES))
            sent = cups.submitted_files()
            received = cups.jobs()
            self.assertEqual(len(sent), len(self.PICTURES))
            for (width, height), document, job in zip(self.PICTURES, sent, received):
                with self.subTest(picture=(width, height)):
                    self.check_sent_page(cups, document, width, height)
                    self.check_received_page(cups, job)

    def check_sent_page(self, cups, document, width, height):
        page, rect = expected_rect(cups.paper, cups.margins, width, height)
        self.assertEqual(pdf_info(document), (1, page))
        image = render(document)
        box = ink_box(image)
        self.assertClose(box, rect, what="drawing on the page")
        # The block of the picture's top-left corner is there, not turned or mirrored.
        left, top, right, bottom = rect
        block = (left + (right - left) / 8, top + (bottom - top) / 8)
        self.assertLess(image.getpixel(block), 64)
        opposite = (right - (right - left) / 8, bottom - (bottom - top) / 8)
        self.assertGreater(image.getpixel(opposite), 192)

    def check_received_page(self, cups, job):
        """The sheet the printer got: one page, all ink within its printable area."""
        pages, (sheet_w, sheet_h) = pdf_info(job)
        self.assertEqual((pages, (sheet_w, sheet_h)), (1, PAPER[cups.paper]))
        box = ink_box(render(job))
        m = cups.margins
        printable = (m["left"], m["top"], sheet_w - m["right"], sheet_h - m["bottom"])
        self.assertGreaterEqual(box[0], printable[0] - 1)
        self.assertGreaterEqual(box[1], printable[1] - 1)
        self.assertLessEqual(box[2], printable[2] + 1)
        self.assertLessEqual(box[3], printable[3] + 1)

    def test_printer_paper_is_used(self):
        with PrivateCups(paper="A4") as cups:
            self.assertEqual(print_picture(cups.env, self.gif(300, 400)), ["stampato"])
            cups.wait_for_jobs(1)
            self.assertEqual(pdf_info(cups.submitted_files()[0]), (1, PAPER["A4"]))

    def test_each_print_is_its_own_one_page_job(self):
        with PrivateCups() as cups:
            picture = self.gif(300, 400)
            self.assertEqual(print_picture(cups.env, picture, "--volte", "2"),
                             ["stampato", "stampato"])
            self.assertEqual(print_picture(cups.env, picture), ["stampato"])
            jobs = cups.wait_for_jobs(3)
            self.assertEqual(len(cups.job_ids("completed")), 3)
            for document in cups.submitted_files() + jobs:
                self.assertEqual(pdf_info(document)[0], 1)


class NoPrint(PrintCase):
    """Each way of having no printer to print on: the message, and no job."""

    def assertNothingPrinted(self, cups):
        time.sleep(0.5)
        self.assertEqual(cups.job_ids("all"), [])
        self.assertEqual(cups.jobs(), [])

    def test_printers_but_no_default(self):
        with PrivateCups(default=False) as cups:
            self.assertEqual(print_picture(cups.env, self.gif(300, 400)), [NO_PRINTER])
            self.assertNothingPrinted(cups)

    def test_environment_chooses_the_default(self):
        picture = self.gif(300, 400)
        with PrivateCups(default=False) as cups:
            for variable in ("PRINTER", "LPDEST"):
                env = dict(cups.env, **{variable: PrivateCups.QUEUE})
                self.assertEqual(print_picture(env, picture), ["stampato"], variable)
            cups.wait_for_jobs(2)
        with PrivateCups() as cups:
            env = dict(cups.env, PRINTER="nessuna")
            self.assertEqual(print_picture(env, picture), [NO_PRINTER])
            self.assertNothingPrinted(cups)

    def test_server_down(self):
        with PrivateCups() as cups:
            cups.stop()
            self.assertFalse(cups.running())
            self.assertEqual(print_picture(cups.env, self.gif(300, 400)), [NO_PRINTER])
            cups.start()
            self.assertNothingPrinted(cups)

    def test_server_that_never_answers(self):
        """The wait is bounded, every time, and nothing is left waiting at exit."""
        path = self.folder / "muto.sock"
        listener = socket.socket(socket.AF_UNIX)
        listener.bind(str(path))
        listener.listen(16)
        held = []

        def accept():
            while True:
                try:
                    held.append(listener.accept()[0])
                except OSError:
                    return

        threading.Thread(target=accept, daemon=True).start()
        env = dict(os.environ, CUPS_SERVER=str(path), HOME=str(self.folder))
        env.pop("PRINTER", None)
        env.pop("LPDEST", None)
        try:
            start = time.monotonic()
            result = subprocess.run([CLI, "--volte", "2", "--tempi", str(self.gif(300, 400))],
                                    env=env, capture_output=True, text=True, timeout=60)
            elapsed = time.monotonic() - start
        finally:
            listener.close()
            for connection in held:
                connection.close()
        self.assertEqual(result.returncode, 1, result.stderr)
        lines = [line.split("\t") for line in result.stdout.splitlines()]
        self.assertEqual([line[0] for line in lines], [NO_ANSWER, NO_ANSWER])
        self.assertTrue(all(float(line[1].split()[0]) < 10000 for line in lines), lines)
        self.assertGreaterEqual(len(held), 1)  # it did reach the server
        self.assertLess(elapsed, 20)

    def test_queue_refusing_jobs(self):
        with PrivateCups() as cups:
            cups.lp("cupsreject", PrivateCups.QUEUE)
            message = print_picture(cups.env, self.gif(300, 400))
            self.assertEqual(len(message), 1)
            self.assertTrue(message[0].startswith("La stampante «pdf» non ha accettato"),
                            message)
            self.assertNothingPrinted(cups)

    def test_document_not_ended_is_dropped(self):
        with PrivateCups() as cups:
            self.assertEqual(print_picture(cups.env, self.gif(300, 400), "--senza-fine"),
                             ["abbandonato"])
            self.assertNothingPrinted(cups)


def main():
    global CLI
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    args, rest = parser.parse_known_args()
    CLI = os.path.abspath(args.cli)
    if os.geteuid() != 0:
        print("skipped: the private print server's backend needs root")
        return 77
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    program = unittest.main(argv=[sys.argv[0], *rest], exit=False, verbosity=2)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
