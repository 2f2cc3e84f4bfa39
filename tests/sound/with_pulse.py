"""Runs a command with a private PulseAudio server to play to.

    with_pulse.py PROGRAM [ARGS...]

The command's exit status is this script's; the server is always stopped.
"""

import subprocess
import sys

from pulse import PrivatePulse


def main():
    with PrivatePulse() as pulse:
        return subprocess.run(sys.argv[1:], env=pulse.env).returncode


if __name__ == "__main__":
    sys.exit(main())
