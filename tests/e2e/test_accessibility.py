"""The real program as a screen reader meets it: the AT-SPI tree of both windows."""

import sys

from atspi import AccessibilityBus, describe, walk
from harness import App, Checks, Display, arguments, program_folder, wait_until

COLOURS = [
    "Blu", "Rosso", "Verde", "Giallo", "Lavanda", "Magenta", "Ciano", "Bianco",
    "Nero", "Viola", "Marrone", "Blu chiaro", "Verde oliva", "Verde scuro", "Verde petrolio",
    "Argento", "Grigio", "Blu acceso", "Ciano scuro", "Azzurro cielo", "Rosa", "Rosa chiaro",
    "Verde chiaro", "Magenta chiaro", "Blu medio", "Ciano scuro", "Verde medio", "Giallo scuro",
    "Rosso scuro", "Magenta scuro", "Ciano chiaro", "Grigio chiaro",
]
BUTTONS = ["Esci", "Stampa il disegno"]


def centre(node):
    box = node.get_extents(0)  # screen coordinates
    return box.x + box.width // 2, box.y + box.height // 2


def controls(window, role):
    return [node for node in walk(window) if node.get_role_name() == role]


def names(nodes):
    return [node.get_name() for node in nodes]


def check_every_control_named(check, window, label):
    for node in walk(window):
        role, name, _, states = describe(node)
        check.that("showing" in states, f"{label}: {role} {name!r} is exposed but not shown")
        check.that(name.strip() != "", f"{label}: a {role} without a name")


def swatches(window):
    return [node for node in controls(window, "push button") if node.get_name() not in BUTTONS]


def main():
    args = arguments()
    check = Checks()
    app = program_folder(args.app)
    with Display() as display, AccessibilityBus(display) as bus:
        with App(app, display, env=bus.app_env):
            sheet = bus.window("TINGOLAMO")
            check.equal(sheet.get_role_name(), "frame", "the sheet's role")
            check_every_control_named(check, sheet, "start")
            check.equal(names(controls(sheet, "list")), ["Disegni"], "the picture list")
            check.equal(names(controls(sheet, "canvas")), ["Disegno da colorare"], "the drawing")
            check.equal(names(controls(sheet, "radio button")),
                        ["4 colori", "8 colori", "16 colori", "32 colori"], "the size options")
            check.equal(sorted(n for n in names(controls(sheet, "push button")) if n in BUTTONS),
                        sorted(BUTTONS), "the end and print buttons")
            check.equal(names(swatches(sheet)), COLOURS[:4], "the 4 swatches, template hidden")

            # The chosen swatch says so, and goes back to its plain name.
            for name in ("Rosso", "Verde"):
                display.click(*centre(next(s for s in swatches(sheet) if s.get_name() == name)))
                wait_until(lambda: f"{name}, scelto" in names(swatches(sheet)),
                           what=f"{name} to be announced as chosen")
            chosen = [describe(s) for s in swatches(sheet) if "sensitive" not in describe(s)[3]]
            check.equal([c[1] for c in chosen], ["Verde, scelto"], "one swatch is the chosen one")
            check.equal(names(swatches(sheet))[:2], ["Blu", "Rosso"], "the others keep their names")

            option = next(o for o in controls(sheet, "radio button") if o.get_name() == "32 colori")
            display.click(*centre(option))
            wait_until(lambda: len(swatches(sheet)) == 32, what="the 32 swatches")
            check.equal(names(swatches(sheet)), COLOURS, "the 32 swatches, two sharing a name")
            check_every_control_named(check, sheet, "32 colours")

            end = next(b for b in controls(sheet, "push button") if b.get_name() == "Esci")
            display.click(*centre(end))
            farewell = bus.window("Info")
            check_every_control_named(check, farewell, "farewell")
            pictures = {n.get_name() for n in controls(farewell, "image")}
            check.equal(len(pictures), 2, f"two named farewell pictures: {pictures}")
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
