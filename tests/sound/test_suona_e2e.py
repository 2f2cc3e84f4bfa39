"""Suona end to end: what it plays is heard on a private sound server (PulseAudio,
or PipeWire when TINGOLAMO_SOUND_SERVER says so).

    test_suona_e2e.py --cli SUONA_CLI --cues SUONI_FOLDER

suona_cli calls Suona on each of its arguments in turn and prints the
milliseconds each call took. The sink's monitor is recorded, and the
recording must hold each cue complete and bit-exact, in the order played,
and nothing else; each call must last at least as long as its cue. Faulty
files and paths must stay silent and return at once.
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

from cues import heard_at
from pulse import CHANNELS, FRAME_BYTES, RATE, sound_server

CUES = ("colori.wav", "riempi.wav", "disegno.wav")
PROMPT_MS = 1000.0

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message)
    return condition


def read_cue(path):
    with wave.open(path, "rb") as w:
        shape = (w.getframerate(), w.getnchannels(), w.getsampwidth())
        if shape != (RATE, CHANNELS, 2):
            raise SystemExit("%s is not 44100 Hz 16-bit stereo: %r" % (path, shape))
        return w.readframes(w.getnframes())


def length_ms(samples):
    return len(samples) / FRAME_BYTES * 1000.0 / RATE


def first_sound(data, start=0):
    """The offset of the first frame at or after `start` that is not silent."""
    rest = data[start:]
    offset = start + len(rest) - len(rest.lstrip(b"\0"))
    return None if offset >= len(data) else offset - offset % FRAME_BYTES


def audible_part(samples):
    """The cue without its leading and trailing silent frames."""
    begin = first_sound(samples)
    end = len(samples.rstrip(b"\0"))
    end += -end % FRAME_BYTES
    return samples[begin:end]


def check_heard(recording, expected, label, dropouts):
    """Each (name, samples) of `expected` must appear in `recording`, bit for
    bit and in order, with only silence around and between them; but for at
    most `dropouts` frames the sound server silenced (see pulse.py)."""
    position = 0
    for name, samples in expected:
        body = audible_part(samples)
        start = first_sound(recording, position)
        if not check(start is not None, "%s: %s never reached the sink" % (label, name)):
            return
        match = heard_at(recording, start, body, dropouts)
        if match is None:
            heard = recording[start:start + len(body)]
            differs = next((i for i, (a, b) in enumerate(zip(heard, body)) if a != b),
                           min(len(heard), len(body)))
            check(False, "%s: %s differs from the file at byte %d of %d (%d heard)"
                  % (label, name, differs, len(body), len(heard)))
            return
        position, lost = match
        if lost:
            print("%s: %s heard with %d frames silenced by the server" % (label, name, lost))
    check(first_sound(recording, position) is None,
          "%s: something more was heard after the last cue" % label)


def run_cli(cli, arguments, env, no_app=False):
    command = [cli] + (["--no-app"] if no_app else []) + arguments
    result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=60)
    check(result.returncode == 0, "suona_cli exited with %d: %s"
          % (result.returncode, result.stderr.strip()))
    check(result.stderr.strip() == "", "suona_cli printed messages: %r" % result.stderr)
    times = [float(line) for line in result.stdout.split()]
    check(len(times) == len(arguments), "suona_cli timed %d of %d calls"
          % (len(times), len(arguments)))
    return times


def play_and_record(pulse, cli, arguments, no_app=False):
    pulse.record_start()
    times = run_cli(cli, arguments, pulse.env, no_app)
    return times, pulse.record_stop()


def wav_header(channels=2, rate=RATE, bits=16, data_bytes=0):
    align = channels * bits // 8
    return (b"RIFF" + struct.pack("<I", (36 + data_bytes) & 0xFFFFFFFF) + b"WAVEfmt "
            + struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * align, align, bits)
            + b"data" + struct.pack("<I", data_bytes))


def make_bad_paths(folder, cue):
    """Paths Suona must leave silent, each with why."""
    def write(name, data):
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    whole = wav_header(data_bytes=len(cue)) + cue
    os.mkdir(os.path.join(folder, "x.wav"))
    return [
        ("empty path", ""),
        ("too short a name", "av"),
        ("empty file", write("vuoto.wav", b"")),
        ("header cut short", write("troncato.wav", whole[:30])),
        ("text", write("testo.wav", "Non è un suono.\n".encode() * 100)),
        ("huge declared length", write("enorme.wav", wav_header(data_bytes=0xFFFFFFF0))),
        ("64 channels", write("canali.wav", wav_header(channels=64, data_bytes=len(cue)) + cue)),
        ("absurd rate", write("veloce.wav", wav_header(rate=5000000, data_bytes=len(cue)) + cue)),
        ("ends in wave", write("colori.wave", whole)),
        ("ends in mp3", write("colori.mp3", whole)),
        ("hidden file", write(".colori.wav", whole)),
        ("folder named x.wav", os.path.join(folder, "x.wav")),
        ("missing Suoni folder", os.path.join(folder, "altrove", "Suoni", "colori.wav")),
    ]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--cues", required=True)
    args = parser.parse_args()

    cues = [(name, read_cue(os.path.join(args.cues, name))) for name in CUES]
    folder = tempfile.mkdtemp(prefix="tingolamo-suona-")
    try:
        # The name test needs no dot and ignores case: a copy named so plays.
        dotless = os.path.join(folder, "coloriXwAv")
        shutil.copyfile(os.path.join(args.cues, CUES[0]), dotless)
        with sound_server() as pulse:
            for no_app in (False, True):
                label = "without an application object" if no_app else "with an event loop"
                played = [(n, os.path.join(args.cues, n)) for n, _ in cues]
                expected = list(cues)
                if not no_app:
                    played.append(("coloriXwAv", dotless))
                    expected.append(("coloriXwAv", cues[0][1]))
                times, recording = play_and_record(
                    pulse, args.cli, [path for _, path in played], no_app)
                check_heard(recording, expected, label, pulse.dropouts)
                for (name, samples), ms in zip(expected, times):
                    print("%s, %s: %.1f ms for a %.1f ms cue" % (label, name, ms,
                                                                length_ms(samples)))
                    check(ms >= length_ms(samples),
                          "%s: Suona returned after %.1f ms, before %s ended (%.1f ms)"
                          % (label, ms, name, length_ms(samples)))

            # Faulty files, then one good cue: only that one may be heard.
            bad = make_bad_paths(folder, cues[0][1])
            arguments = [path for _, path in bad] + [os.path.join(args.cues, CUES[0])]
            times, recording = play_and_record(pulse, args.cli, arguments)
            check_heard(recording, [cues[0]], "faulty files", pulse.dropouts)
            for (why, _), ms in zip(bad, times):
                check(ms < PROMPT_MS, "%s: Suona took %.1f ms" % (why, ms))
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    if failures:
        print("%d failure(s)" % len(failures))
        return 1
    print("all cues heard complete and bit-exact; faulty files silent")
    return 0


if __name__ == "__main__":
    sys.exit(main())
