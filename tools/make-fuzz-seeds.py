#!/usr/bin/python3
"""Writes the small crafted seeds of the fuzz targets into tests/fuzz/corpus.

    /usr/bin/python3 tools/make-fuzz-seeds.py

The shipped drawings (Gif/) and cues (Suoni/) are seeds as they are; these add
the shapes they lack: GIF pictures with transparency, interlacing, several
frames, local colour tables, extensions and frames off the screen, and WAV
files in every sample coding the decoder takes. Needs python3-pil and sox.
"""

import io
import math
import struct
import subprocess
import tempfile
from pathlib import Path

from PIL import Image, ImageDraw

CORPUS = Path(__file__).resolve().parent.parent / "tests" / "fuzz" / "corpus"


# ----------------------------------------------------------------- pictures
def pil_gif(image, **options):
    out = io.BytesIO()
    image.save(out, "GIF", **options)
    return out.getvalue()


def outlined(size):
    image = Image.new("P", size, 1)
    image.putpalette([0, 0, 0, 255, 255, 255] + [0] * 762)
    ImageDraw.Draw(image).rectangle((0, 0, size[0] - 1, size[1] - 1), outline=0)
    return image


def screen(width, height, frames, flags=0x80, table=b"\x00\x00\x00\xff\xff\xff"):
    """A GIF89a of raw frame blocks on a width x height screen."""
    head = b"GIF89a" + struct.pack("<HHBBB", width, height, flags, 0, 0) + table
    return head + b"".join(frames) + b";"


def frame(left, top, width, height, data=b"\x02\x02\x44\x01\x00", flags=0):
    return b"\x2c" + struct.pack("<HHHHB", left, top, width, height, flags) + data


def pictures():
    gradient = Image.new("P", (16, 16))
    gradient.putpalette([channel for i in range(256) for channel in (i, 255 - i, i // 2)])
    gradient.putdata(list(range(256)))
    second = outlined((12, 8)).convert("RGB").convert("P", palette=Image.ADAPTIVE, colors=4)
    return {
        "transparent-1x1.gif": bytes.fromhex(
            "47494638396101000100800000ffffff00000021f904010000000"
            "02c00000000010001000002024401003b"),
        "interlaced.gif": pil_gif(outlined((20, 24)), interlace=True),
        "plain-87a.gif": pil_gif(outlined((9, 7)), interlace=False),
        "gradient-256.gif": pil_gif(gradient),
        "comment-and-loop.gif": pil_gif(outlined((10, 10)), comment=b"disegno", loop=0),
        "two-frames.gif": pil_gif(outlined((12, 8)), save_all=True, append_images=[second],
                                  duration=100, disposal=2, transparency=0),
        "frame-off-screen.gif": screen(2, 2, [frame(5, 5, 1, 1)]),
        "frame-wider-than-screen.gif": screen(1, 1, [frame(0, 0, 1, 1),
                                                     frame(0, 0, 3, 1,
                                                           b"\x02\x03\x44\x01\x05\x00")]),
        "local-table.gif": screen(1, 1, [frame(0, 0, 1, 1,
                                               b"\x00\xff\x00\x00\x00\x00\xff"
                                               b"\x02\x02\x44\x01\x00", flags=0x80)],
                                  flags=0, table=b""),
    }


# ----------------------------------------------------------------- cues
def riff(chunks, kind=b"RIFF"):
    body = b"WAVE" + b"".join(name + struct.pack("<I", len(data)) + data
                             + (b"\x00" if len(data) % 2 else b"") for name, data in chunks)
    return kind + struct.pack("<I", len(body)) + body


def fmt(tag, channels, rate, bits, extra=b""):
    block = channels * bits // 8
    data = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    return data + (struct.pack("<H", len(extra)) + extra if extra or tag == 0xFFFE else b"")


def tone(count, bits, channels, kind="int"):
    samples = []
    for i in range(count):
        value = math.sin(i / 3.0)
        for _ in range(channels):
            if kind == "float":
                samples.append(struct.pack("<f" if bits == 32 else "<d", value * 0.5))
            elif bits == 8:
                samples.append(struct.pack("<B", int(128 + value * 100)))
            else:
                scaled = int(value * (2 ** (bits - 2)))
                samples.append(scaled.to_bytes(bits // 8, "little", signed=True))
    return b"".join(samples)


def extensible(channels, rate, bits, subformat):
    guid = struct.pack("<H", subformat) + bytes.fromhex("000000001000800000aa00389b71")
    extra = struct.pack("<HI", bits, (1 << channels) - 1) + guid
    return fmt(0xFFFE, channels, rate, bits, extra)


def rf64(channels, rate, bits):
    data = tone(40, bits, channels)
    ds64 = struct.pack("<QQQI", 0, len(data), 40, 0)
    chunks = [(b"ds64", ds64), (b"fmt ", fmt(1, channels, rate, bits)), (b"data", data)]
    wav = bytearray(riff(chunks, b"RF64"))
    wav[4:8] = b"\xff\xff\xff\xff"
    data_at = wav.index(b"data")
    wav[data_at + 4:data_at + 8] = b"\xff\xff\xff\xff"
    return bytes(wav)


def sox(encoding, bits=None, rate=8000):
    with tempfile.TemporaryDirectory() as folder:
        out = Path(folder) / "cue.wav"
        command = ["sox", "-n", "-r", str(rate), "-c", "1", "-e", encoding]
        if bits:
            command += ["-b", str(bits)]
        subprocess.run(command + [str(out), "synth", "0.03", "sine", "440"], check=True)
        return out.read_bytes()


def cues():
    return {
        "pcm8-mono.wav": riff([(b"fmt ", fmt(1, 1, 8000, 8)), (b"data", tone(50, 8, 1))]),
        "pcm16-stereo.wav": riff([(b"fmt ", fmt(1, 2, 44100, 16)), (b"data", tone(50, 16, 2))]),
        "pcm24.wav": riff([(b"fmt ", fmt(1, 1, 48000, 24)), (b"data", tone(50, 24, 1))]),
        "pcm32.wav": riff([(b"fmt ", fmt(1, 1, 96000, 32)), (b"data", tone(50, 32, 1))]),
        "float32.wav": riff([(b"fmt ", fmt(3, 1, 22050, 32)),
                             (b"data", tone(50, 32, 1, "float"))]),
        "float64.wav": riff([(b"fmt ", fmt(3, 1, 22050, 64)),
                             (b"data", tone(50, 64, 1, "float"))]),
        "six-channels-extensible.wav": riff([(b"fmt ", extensible(6, 48000, 16, 1)),
                                             (b"data", tone(20, 16, 6))]),
        "list-and-fact.wav": riff([(b"fmt ", fmt(1, 1, 8000, 16)),
                                   (b"LIST", b"INFOINAM\x06\x00\x00\x00colori"),
                                   (b"fact", struct.pack("<I", 50)),
                                   (b"data", tone(50, 16, 1))]),
        "rf64.wav": rf64(2, 44100, 16),
        "ulaw.wav": sox("u-law"),
        "alaw.wav": sox("a-law"),
        "ima-adpcm.wav": sox("ima-adpcm"),
        "ms-adpcm.wav": sox("ms-adpcm"),
        "gsm.wav": sox("gsm-full-rate"),
    }


def main():
    for folder, files in (("picture", pictures()), ("cue", cues())):
        target = CORPUS / folder
        target.mkdir(parents=True, exist_ok=True)
        for name, data in files.items():
            (target / name).write_bytes(data)
        print(f"{target}: {len(files)} seeds, {sum(map(len, files.values()))} bytes")


if __name__ == "__main__":
    main()
