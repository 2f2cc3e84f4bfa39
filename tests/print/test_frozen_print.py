"""The print button against a print server that stops answering (SIGSTOP).

The program talks to the private CUPS through a relay of ours, which stops
the scheduler the moment the page itself comes through: the job exists, its
document is on its way, and nobody answers. The click must then answer
within ten seconds with a message, the window painting all the while; once
the scheduler wakes, that job must never print, and the next click must put
its page in the queue. Then a run of clicks at a scheduler frozen before
them: each answers in time, and none leaves a thread or a connection behind.
"""

import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

from cups import PrivateCups
from harness import App, Checks, Display, arguments, leftovers, program_folder, wait_until
from test_print_button import (BLUE, INSIDE, drawing, message_windows, print_button, screen)

ANSWER_S = 10.0
SLACK_S = 0.5  # reading the screen takes time too
CLICKS = 3


class Relay:
    """A socket that passes everything on to the scheduler and stops it, once
    armed, when a PDF document starts to come through."""

    def __init__(self, folder, cups):
        self.path = os.path.join(folder, "relay.sock")
        self.cups = cups
        self.armed = False
        self.frozen_at = None
        self.open_clients = 0
        self.lock = threading.Lock()
        self.listener = socket.socket(socket.AF_UNIX)

    def __enter__(self):
        self.listener.bind(self.path)
        self.listener.listen(64)
        threading.Thread(target=self._accept, daemon=True).start()
        return self

    def __exit__(self, *exc):
        self.listener.close()

    def _accept(self):
        while True:
            try:
                client = self.listener.accept()[0]
            except OSError:
                return
            server = socket.socket(socket.AF_UNIX)
            server.connect(str(self.cups.socket))
            with self.lock:
                self.open_clients += 1
            threading.Thread(target=self._pump, args=(client, server, True), daemon=True).start()
            threading.Thread(target=self._pump, args=(server, client, False), daemon=True).start()

    def _pump(self, source, target, from_client):
        tail = b""
        try:
            while True:
                data = source.recv(65536)
                if not data:
                    break
                if from_client and self.armed and b"%PDF-" in tail + data:
                    self.armed = False
                    self.cups.freeze()
                    self.frozen_at = time.monotonic()
                tail = data[-4:]
                target.sendall(data)
        except OSError:
            pass
        if from_client:
            with self.lock:
                self.open_clients -= 1
            try:
                target.shutdown(socket.SHUT_WR)
            except OSError:
                pass


def click_print(display):
    # xdotool's synchronous move waits for a motion: start from elsewhere.
    display.move(700, 700)
    display.click(*print_button())



def repainted_while_waiting(display):
    """Covers the drawing with another window and takes it away again: the
    sheet must paint its drawing back before any message appears."""
    cover = subprocess.Popen(["xmessage", "-geometry", "400x420+120+10", "copre"],
                             env=display.env)
    try:
        wait_until(lambda: display.screenshot().getpixel(screen(INSIDE)) != BLUE,
                   what="the covering window")
    finally:
        cover.terminate()
        cover.wait(5)
    wait_until(lambda: display.screenshot().getpixel(screen(INSIDE)) == BLUE,
               what="the sheet to paint the drawing back")
    return message_windows(display) == 0


def click_and_wait_message(display):
    start = time.monotonic()
    click_print(display)
    wait_until(lambda: message_windows(display) == 1, timeout=ANSWER_S + 5, step=0.05,
               what="the message window")
    took = time.monotonic() - start
    display.key("Return")
    wait_until(lambda: message_windows(display) == 0, what="the message to close")
    return took


def frozen_at_the_job(check, display, cups, relay):
    relay.armed = True
    start = time.monotonic()
    click_print(display)
    wait_until(lambda: relay.frozen_at is not None, timeout=ANSWER_S, what="the page to be sent")
    check.that(repainted_while_waiting(display), "the window paints while the print waits")
    wait_until(lambda: message_windows(display) == 1, timeout=ANSWER_S + 5, step=0.05,
               what="the message window")
    took = time.monotonic() - start
    print(f"frozen at the job: the message came {took:.2f} s after the click")
    check.that(took <= ANSWER_S + SLACK_S, f"frozen at the job: answered after {took:.2f} s")
    display.key("Return")
    wait_until(lambda: message_windows(display) == 0, what="the message to close")

    cups.thaw()
    time.sleep(4)
    failed = cups.job_ids("all")
    print(f"the failed job {failed}: still held {cups.job_ids('not-completed')}, "
          f"ended (cancelled) {cups.job_ids('completed')}")
    check.equal(cups.jobs(), [], "the job reported as failed does not print once the server wakes")

    click_print(display)
    printed = cups.wait_for_jobs(1)
    check.equal(message_windows(display), 0, "the next click prints without a message")
    sent = [job for job in cups.job_ids("all") if job not in failed]
    check.equal(len(sent), 1, "the page reported as sent is a job in the queue")
    time.sleep(2)
    check.equal(len(cups.jobs()), 1, "and only that one prints")
    check.that(len(printed) == 1 and printed[0].stem == f"job-{sent[0]}" if sent else False,
               "what printed is the job reported as sent")


def frozen_before_clicks(check, display, cups, relay, program):
    baseline = leftovers(program.proc.pid)
    cups.freeze()
    for n in range(CLICKS):
        took = click_and_wait_message(display)
        print(f"frozen before click {n + 1}: the message came after {took:.2f} s")
        check.that(took <= ANSWER_S + SLACK_S, f"click {n + 1} answered after {took:.2f} s")
    after = leftovers(program.proc.pid)
    print(f"threads and sockets: {baseline} before, {after} after {CLICKS} clicks; "
          f"connections still open at the relay: {relay.open_clients}")
    check.that(after[0] <= baseline[0] and after[1] <= baseline[1],
               f"nothing piles up: threads and sockets {baseline} before, {after} after")
    check.equal(relay.open_clients, 0, "the program keeps no connection to the server open")
    cups.thaw()
    time.sleep(3)
    check.equal(len(cups.jobs()), 1, "nothing asked of the frozen server prints later")


def main():
    args = arguments()
    if os.geteuid() != 0:
        print("skipped: the private print server's backend needs root")
        return 77
    for name in ("PRINTER", "LPDEST"):
        os.environ.pop(name, None)
    app = program_folder(args.app, gifs=[("cromello.gif", drawing())], cues=False)
    check = Checks()
    with Display(wm=True) as display, PrivateCups() as cups, \
            tempfile.TemporaryDirectory() as folder, Relay(folder, cups) as relay:
        env = {"CUPS_SERVER": relay.path, "HOME": str(cups.home)}
        with App(app, display, env=env) as program:
            display.click(*screen(INSIDE))
            wait_until(lambda: display.screenshot().getpixel(screen(INSIDE)) == BLUE,
                       what="the fill on screen")
            frozen_at_the_job(check, display, cups, relay)
            frozen_before_clicks(check, display, cups, relay, program)
    check.finish()


if __name__ == "__main__":
    sys.exit(main())
