"""Time from a print call to the job being accepted by the print server.

Runs stampa_cli against a private CUPS server (tests/e2e/cups.py) and reports
the median of the durations of stampaPagina, which returns once the server has
taken the job: ten calls in one process, and the first call of each of ten
processes (which also connects and asks for the printer and its paper).

    PYTHONPATH=tests/e2e /usr/bin/python3 bench/print_latency.py --cli build/tests/bin/stampa_cli
"""

import argparse
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

from PIL import Image, ImageDraw

from cups import PrivateCups

RUNS = 10


def durations(cli, env, picture, times):
    result = subprocess.run([cli, "--tempi", "--volte", str(times), str(picture)], env=env,
                            capture_output=True, text=True, timeout=120, check=True)
    values = []
    for line in result.stdout.splitlines():
        outcome, duration = line.split("\t")
        if outcome != "stampato":
            raise RuntimeError(line)
        values.append(float(duration.split()[0]))
    return values


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder, PrivateCups() as cups:
        picture = Path(folder) / "figura.gif"
        image = Image.new("P", (640, 480), 1)
        image.putpalette([0, 0, 0, 255, 255, 255] + [255, 255, 255] * 254)
        ImageDraw.Draw(image).ellipse([20, 20, 620, 460], outline=0, width=5)
        image.save(picture)
        env = dict(cups.env, QT_QPA_PLATFORM="offscreen")

        warm = durations(args.cli, env, picture, RUNS)
        cold = [durations(args.cli, env, picture, 1)[0] for _ in range(RUNS)]
        cups.wait_for_jobs(2 * RUNS)
    print(f"print call to job accepted, 640x480 GIF, median of {RUNS}:")
    print(f"  within one process: {statistics.median(warm):.1f} ms "
          f"(min {min(warm):.1f}, max {max(warm):.1f})")
    print(f"  first call of a process: {statistics.median(cold):.1f} ms "
          f"(min {min(cold):.1f}, max {max(cold):.1f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
