"""The keyboard from the first moment: the real program starts with the focus
on the picture list, and Tab walks the sheet's controls in their tab order."""

import os
import sys

from PIL import Image

from atspi import AccessibilityBus, focused
from harness import App, Checks, Display, arguments, program_folder, wait_until

TAB_ORDER = ["Disegno da colorare", "Esci", "Stampa il disegno", "4 colori",
             "Blu", "Rosso", "Verde", "Giallo", "Disegni"]


def focus_name(sheet):
    node = focused(sheet)
    return node.get_name() if node is not None else None


def main():
    args = arguments()
    check = Checks()
    built = os.path.join(os.path.dirname(os.path.abspath(args.app)), "Gif")
    first = os.path.join(built, "aereo.gif")
    app = program_folder(args.app, gifs=[first, os.path.join(built, "cromello.gif")])
    picture = Image.open(first).convert("RGB")
    with Display(wm=True) as display, AccessibilityBus(display) as bus:
        with App(app, display, env=bus.app_env):
            sheet = bus.window("TINGOLAMO")
            wait_until(lambda: focus_name(sheet) is not None, what="a control with the focus")
            check.equal(focus_name(sheet), "Disegni", "the focus at start")

            # The arrow keys walk the drawings at once: Down loads the first line.
            display.key("Down")
            w, h = picture.size

            def first_shown():
                shown = display.screenshot().crop((147, 28, 147 + w, 28 + h))
                return list(shown.getdata()) == list(picture.getdata())

            check.that(wait_until(first_shown, what="aereo.gif to show", timeout=10),
                       "Down at start shows the first drawing of the list")

            walked = []
            for _ in TAB_ORDER:
                before = focus_name(sheet)
                display.key("Tab")
                wait_until(lambda: focus_name(sheet) not in (None, before),
                           what=f"the focus to leave {before!r}")
                walked.append(focus_name(sheet))
            check.equal(walked, TAB_ORDER, "Tab walks the controls in their tab order")
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
