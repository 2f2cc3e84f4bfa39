"""A private PulseAudio server with one null sink, for tests that need to hear.

    with PrivatePulse() as pulse:
        pulse.record_start()
        subprocess.run([program, ...], env=pulse.env)
        samples = pulse.record_stop()   # s16le, stereo, 44100 Hz

The server lives in a temporary folder of its own and listens on a socket
there; clients find it through `env` (PULSE_SERVER and friends), so nothing of
the desktop's own sound server, if any, is used or disturbed. The null sink
runs at the test's rate and channel count and never rewinds, so what a client
plays at that format reaches the recording bit for bit.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

RATE = 44100
CHANNELS = 2
FRAME_BYTES = 2 * CHANNELS
SINK = "t"


class PulseError(RuntimeError):
    pass


class PrivatePulse:
    def __init__(self, start_timeout=10.0):
        self.start_timeout = start_timeout
        self.folder = None
        self.env = None
        self._server = None
        self._recorder = None
        self._recording = None

    # -- lifetime ---------------------------------------------------------

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        self.folder = tempfile.mkdtemp(prefix="tingolamo-pulse-")
        socket = os.path.join(self.folder, "native")
        self.env = dict(os.environ)
        self.env.update(
            XDG_RUNTIME_DIR=self.folder,
            HOME=self.folder,
            PULSE_RUNTIME_PATH=self.folder,
            PULSE_STATE_PATH=self.folder,
            PULSE_SERVER="unix:" + socket,
            PULSE_SINK=SINK,
            PULSE_SOURCE=SINK + ".monitor",
        )
        self.env.pop("PULSE_COOKIE", None)
        log = open(os.path.join(self.folder, "server.log"), "wb")
        try:
            self._server = subprocess.Popen(
                [
                    "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                    "--use-pid-file=false", "--disable-shm=true",
                    "-L", "module-null-sink sink_name=%s rate=%d channels=%d norewinds=1"
                    % (SINK, RATE, CHANNELS),
                    "-L", "module-native-protocol-unix socket=%s auth-anonymous=1" % socket,
                ],
                env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            )
        finally:
            log.close()
        try:
            self._wait_until_answering()
        except Exception:
            self.stop()
            raise

    def stop(self):
        if self._server is not None:
            self.thaw()
        if self._recorder is not None:
            self._end(self._recorder)
            self._recorder = None
        if self._server is not None:
            self._end(self._server)
            self._server = None
        if self.folder is not None:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None

    def freeze(self):
        """Stops the server where it stands (SIGSTOP): it takes connections but
        answers nothing until thaw()."""
        self._server.send_signal(signal.SIGSTOP)

    def thaw(self):
        self._server.send_signal(signal.SIGCONT)

    def server_log(self):
        try:
            with open(os.path.join(self.folder, "server.log"), "rb") as f:
                return f.read().decode(errors="replace")
        except (OSError, TypeError):
            return ""

    # -- recording --------------------------------------------------------

    def record_start(self):
        """Starts recording the sink's monitor; returns once it is running."""
        if self._recorder is not None:
            raise PulseError("already recording")
        self._recording = os.path.join(self.folder, "recording.raw")
        out = open(self._recording, "wb")
        try:
            self._recorder = subprocess.Popen(
                [
                    "parecord", "--device=%s.monitor" % SINK, "--raw",
                    "--format=s16le", "--channels=%d" % CHANNELS, "--rate=%d" % RATE,
                    "--latency-msec=10",
                ],
                env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                stderr=subprocess.DEVNULL,
            )
        finally:
            out.close()
        self._wait_for(lambda: self._pactl_lines("source-outputs"), "the recorder")

    def record_stop(self, settle=0.3):
        """Waits `settle` seconds for the last samples, stops recording and
        returns everything recorded: s16le, stereo, 44100 Hz."""
        if self._recorder is None:
            raise PulseError("not recording")
        time.sleep(settle)
        self._end(self._recorder, signal.SIGINT)
        self._recorder = None
        with open(self._recording, "rb") as f:
            data = f.read()
        return data[: len(data) - len(data) % FRAME_BYTES]

    # -- helpers ----------------------------------------------------------

    def _pactl_lines(self, what):
        result = subprocess.run(
            ["pactl", "list", "short", what], env=self.env,
            stdin=subprocess.DEVNULL, capture_output=True, timeout=5,
        )
        return result.returncode == 0 and result.stdout.strip() != b""

    def _answers(self):
        if self._server.poll() is not None:
            raise PulseError("pulseaudio exited:\n" + self.server_log())
        result = subprocess.run(
            ["pactl", "info"], env=self.env, stdin=subprocess.DEVNULL,
            capture_output=True, timeout=5,
        )
        return result.returncode == 0

    def _wait_until_answering(self):
        self._wait_for(self._answers, "the server")

    def _wait_for(self, condition, what):
        deadline = time.monotonic() + self.start_timeout
        while not condition():
            if time.monotonic() > deadline:
                raise PulseError("%s did not start in time:\n%s" % (what, self.server_log()))
            time.sleep(0.02)

    @staticmethod
    def _end(process, sig=signal.SIGTERM):
        if process.poll() is None:
            process.send_signal(sig)
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
