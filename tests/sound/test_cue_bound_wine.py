"""The Windows cue player under wine, heard on a private PulseAudio server.

    test_cue_bound_wine.py --wine WINE --cli SUONA_CLI_EXE --cues SUONI_FOLDER

The cues lie in a folder whose name no 8-bit code page spells whole
("Suoni à ζ"). With the server answering, each cue is heard complete and bit
for bit, once per call (a gap of silence, which a busy machine may put in the
middle of a cue, aside), and each call lasts at least its cue. Then the server
stops answering (SIGSTOP): each call still returns within its cue's length
and 0.9 s, and the program ends normally.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import wave

from cues import FRAME_BYTES, samples
from harness import Checks
from pulse import PrivatePulse

BOUND_S = 0.9  # what a cue may cost beyond its own length
SLACK_S = 0.15  # starting the worker and reading the file take time too


def length_s(path):
    with wave.open(path, "rb") as cue:
        return cue.getnframes() / cue.getframerate()


def audible(data):
    """The sound without its silent frames."""
    silent = bytes(FRAME_BYTES)
    frames = (data[i:i + FRAME_BYTES] for i in range(0, len(data), FRAME_BYTES))
    return b"".join(f for f in frames if f != silent)


def times_heard(recording, cue_path):
    heard, cue = audible(recording), audible(samples(cue_path))
    return sum(1 for at in range(0, len(heard), FRAME_BYTES) if heard.startswith(cue, at))


def run_cli(args, pulse, cues, timeout):
    """Plays `cues` in one run of suona_cli; the seconds each call took."""
    result = subprocess.run([args.wine, args.cli] + cues, env=pulse.env, capture_output=True,
                            text=True, timeout=timeout)
    if result.returncode != 0:
        raise AssertionError(f"suona_cli exited with {result.returncode}: {result.stderr}")
    return [float(line) / 1000 for line in result.stdout.split()]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--cues", required=True)
    args = parser.parse_args()
    check = Checks()
    folder = tempfile.mkdtemp(prefix="tingolamo-cues-")
    try:
        cues = os.path.join(folder, "Suoni à ζ")
        shutil.copytree(args.cues, cues)
        colori = os.path.join(cues, "colori.wav")
        riempi = os.path.join(cues, "riempi.wav")
        with PrivatePulse() as pulse:
            pulse.record_start()
            times = run_cli(args, pulse, [colori, riempi], timeout=60)
            recording = pulse.record_stop()
            print("answering: calls took " + ", ".join(f"{t:.3f} s" for t in times))
            for path, took in zip((colori, riempi), times):
                name = os.path.basename(path)
                check.equal(times_heard(recording, path), 1, f"{name} heard whole, once")
                check.that(length_s(path) <= took <= length_s(path) + BOUND_S + SLACK_S,
                           f"{name}: the call took {took:.3f} s")

            pulse.freeze()
            times = run_cli(args, pulse, [riempi] * 3, timeout=60)
            pulse.thaw()
            print("frozen: calls took " + ", ".join(f"{t:.3f} s" for t in times))
            check.equal(len(times), 3, "every call returned")
            for took in times:
                check.that(took <= length_s(riempi) + BOUND_S + SLACK_S,
                           f"frozen server: a call took {took:.3f} s")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return check.finish()


if __name__ == "__main__":
    sys.exit(main())
