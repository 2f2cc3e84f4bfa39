"""The real program against a sound server that stops answering (SIGSTOP):
PulseAudio, or the pipewire-pulse or pipewire process of PipeWire, as
TINGOLAMO_SOUND_SERVER says.

Frozen during a cue: the sheet takes input again within the cue's length
plus one second, the queued fill and the picture list still work, and once
the server wakes no more of that cue is heard than the server itself already
held. Frozen before a run of clicks: each click costs at most its cue's
length plus one second, no thread or connection is left behind, and none of
those cues plays once the server wakes. Afterwards the sound works again."""

import os
import subprocess
import sys
import time

from cues import heard, samples
from drawings import boxes, plain
from harness import App, Checks, Display, YELLOW, arguments, leftovers, program_folder, wait_until
from pulse import FRAME_BYTES, sound_server

BOX = (147, 28)  # the drawing's top-left pixel on screen
FIRST_ROW = (560, 38)  # the first line of the picture list
SWATCH = {2: (75, 248), 3: (75, 314)}
BLUE, RED, GREEN = (0, 0, 255), (255, 0, 0), (0, 255, 0)
RIEMPI_S, COLORI_S, DISEGNO_S = 0.50, 0.22, 0.58  # the cues' lengths
BOUND_S = 1.0  # what a silent server may cost beyond the cue
SLACK_S = 0.2  # the click and the repaint take time too
CLICKS = 7  # odd: the last swatch is not the one chosen before


def screen(point):
    return BOX[0] + point[0], BOX[1] + point[1]


def colour(display, point):
    return display.screenshot().getpixel(screen(point))


def answered_after(start, condition, what, timeout=15):
    """Seconds from `start` to the screen reading that first found `condition`,
    counted to when that reading began: the screen is read in a fraction of a
    second, and what it found had happened by the end of it at the latest."""
    while True:
        reading = time.monotonic()
        if condition():
            return reading - start
        if reading - start > timeout:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.01)


def drawing_width(shot):
    """The width of the picture in the drawing box, read off the screen."""
    x = BOX[0] - 2
    while shot.getpixel((x, BOX[1] + 3)) != YELLOW:
        x += 1
    return x - BOX[0] - 2


def playing(pulse):
    result = subprocess.run(["pactl", "list", "short", "sink-inputs"], env=pulse.env,
                            capture_output=True, timeout=5)
    return result.stdout.strip() != b""



def audible(data):
    """The recording without its silent frames."""
    silent = bytes(FRAME_BYTES)
    frames = (data[i:i + FRAME_BYTES] for i in range(0, len(data), FRAME_BYTES))
    return b"".join(f for f in frames if f != silent)


def frozen_during_cue(check, display, pulse, points, riempi, colori, disegno):
    pulse.record_start()
    start = time.monotonic()
    display.click(*screen(points["left"]))
    wait_until(lambda: playing(pulse), timeout=5, step=0.01, what="the fill cue to start")
    time.sleep(0.1)
    pulse.freeze()
    display.click(*screen(points["right"]))  # waits behind the frozen cue
    took = answered_after(start, lambda: colour(display, points["right"]) == BLUE,
                          "the queued fill")
    print(f"frozen during a cue: the queued fill shows {took:.2f} s after the first click")
    check.that(took <= RIEMPI_S + BOUND_S + SLACK_S,
               f"frozen during a cue: input waited {took:.2f} s")
    check.equal(colour(display, points["left"]), BLUE, "the first fill stays")

    clicked = time.monotonic()
    display.click(*FIRST_ROW)  # "altro.gif", 180 pixels wide
    took = answered_after(clicked, lambda: drawing_width(display.screenshot()) == 180,
                          "the chosen drawing")
    print(f"frozen: the list loads its drawing {took:.2f} s after the click")
    check.that(took <= RIEMPI_S + BOUND_S + SLACK_S, f"the list answered after {took:.2f} s")

    time.sleep(DISEGNO_S + BOUND_S)  # the list's cue gives up in turn
    pulse.thaw()
    time.sleep(1.5)
    display.click(*SWATCH[2])  # the sound works again
    time.sleep(COLORI_S + 0.8)
    recording = pulse.record_stop()
    check.equal(len(heard(recording, colori, pulse.dropouts)), 1,
                "after the thaw a new cue is heard whole")
    check.equal(heard(recording, riempi), [], "the frozen fill cue never completes late")
    end = heard(recording, colori, pulse.dropouts)
    before = audible(recording[:end[0] * FRAME_BYTES]) if end else audible(recording)
    cue = audible(samples(riempi))
    # PipeWire's graph goes on while its PulseAudio service stands still, and
    # around that moment it may repeat or drop a step of the stalled stream:
    # there, less than the cue is all that can be asked.
    pipewire = os.environ.get("TINGOLAMO_SOUND_SERVER", "pulseaudio") != "pulseaudio"
    check.that((pipewire or cue.startswith(before)) and len(before) < len(cue),
               "before the new cue only the start of the frozen cue was heard, nothing else")
    check.equal(heard(recording, disegno), [], "the list's cue, clicked while frozen, never plays")
    print(f"of the frozen {len(cue) // FRAME_BYTES}-frame cue, "
          f"{len(before) // FRAME_BYTES} frames were heard in all")


def frozen_before_clicks(check, display, pulse, program, points, riempi):
    baseline = leftovers(program.proc.pid)
    pulse.record_start()
    pulse.freeze()
    start = time.monotonic()
    for n in range(CLICKS):
        display.click(*SWATCH[3 - n % 2])  # green, red, green...
    display.click(*screen(points["square"]))  # filled in the last swatch's colour, green
    took = answered_after(start, lambda: colour(display, points["square"]) == GREEN,
                          "the fill after the clicks", timeout=CLICKS * 2 + 10)
    per_click = took / (CLICKS + 1)
    print(f"frozen before {CLICKS} swatch clicks and a fill: all answered in {took:.2f} s, "
          f"{per_click:.2f} s a click")
    check.that(took <= CLICKS * (COLORI_S + BOUND_S) + RIEMPI_S + BOUND_S + SLACK_S,
               f"{CLICKS + 1} clicks at a frozen server took {took:.2f} s")
    time.sleep(RIEMPI_S + BOUND_S)  # the fill's own cue gives up too
    after = leftovers(program.proc.pid)
    print(f"threads and sockets: {baseline} before, {after} after the clicks")
    check.that(after[0] <= baseline[0] and after[1] <= baseline[1],
               f"nothing piles up: threads and sockets {baseline} before, {after} after")

    pulse.thaw()
    time.sleep(2)
    check.equal(audible(pulse.record_stop()), b"", "no cue clicked at the frozen server plays late")
    pulse.record_start()
    display.click(*screen(points["left"]))
    time.sleep(RIEMPI_S + 0.8)
    check.equal(len(heard(pulse.record_stop(), riempi, pulse.dropouts)), 1,
                "then a fill is heard whole")


def main():
    args = arguments()
    drawing, points = boxes()
    app = program_folder(args.app, gifs=[("cromello.gif", drawing), ("altro.gif", plain(180, 120))])
    cues = os.path.join(os.path.dirname(app), "Suoni")
    riempi, colori, disegno = (os.path.join(cues, name + ".wav")
                               for name in ("riempi", "colori", "disegno"))
    check = Checks()
    with Display(wm=True) as display, sound_server() as pulse:
        env = {"PULSE_SERVER": pulse.env["PULSE_SERVER"]}
        with App(app, display, env=env):
            frozen_during_cue(check, display, pulse, points, riempi, colori, disegno)
        with App(app, display, env=env) as program:
            display.click(*SWATCH[2])  # one cue first: whatever the player keeps, it has
            time.sleep(COLORI_S + 0.8)
            frozen_before_clicks(check, display, pulse, program, points, riempi)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
