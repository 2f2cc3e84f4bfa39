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

import math
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import wave

RATE = 44100
CHANNELS = 2
FRAME_BYTES = 2 * CHANNELS
SINK = "t"


class PulseError(RuntimeError):
    pass


class PrivatePulse:
    # Frames of a cue the server may play as silence in its place: none here.
    dropouts = 0

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


# Its clients give up at once when PipeWire does not answer yet, so they
# start once its socket is there (ten seconds at most).
PIPEWIRE_SESSION = """
pipewire & echo pipewire $!
for _ in $(seq 200); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.05; done
wireplumber & echo wireplumber $!
pipewire-pulse & echo pipewire-pulse $!
wait
"""


class PrivatePipeWire(PrivatePulse):
    """The same, from PipeWire's PulseAudio service (pipewire, wireplumber and
    pipewire-pulse on a session bus of their own, as on today's desktops).

    freeze() stops `frozen`: "pipewire-pulse" (what clients talk to) or
    "pipewire" (the graph behind it). The graph runs at the test's rate, so
    nothing is resampled and a cue reaches the recording bit for bit. A
    headless session can fail to record while playing well: start() plays a
    control sound through paplay and refuses to go on unless it is heard.
    user: the ordinary user to run the servers as (to serve the program run
    as that user), or None for ourselves.
    """

    # Under load on two cores the graph now and then misses a step of its
    # clock and plays silence in place of samples it had, or before samples
    # that came a moment late: one block of silence (up to 1024 frames) in a
    # cue is the server's doing, not the program's.
    dropouts = 1024

    def __init__(self, frozen="pipewire-pulse", user=None, start_timeout=10.0):
        super().__init__(start_timeout)
        self.frozen = frozen
        self.user = user or {}
        self._pids = {}

    def start(self):
        self.folder = tempfile.mkdtemp(prefix="tingolamo-pipewire-")
        config = os.path.join(self.folder, "config", "pipewire", "pipewire.conf.d")
        os.makedirs(config)
        with open(os.path.join(config, "clock.conf"), "w") as out:
            out.write("context.properties = { default.clock.rate = %d "
                      "default.clock.allowed-rates = [ %d ] }\n" % (RATE, RATE))
        if self.user:
            for top, dirs, files in os.walk(self.folder):
                for name in [top] + [os.path.join(top, n) for n in dirs + files]:
                    os.chown(name, self.user["user"], self.user["group"])
        self.env = dict(os.environ)
        for name in ("PULSE_COOKIE", "PIPEWIRE_REMOTE", "DBUS_SESSION_BUS_ADDRESS"):
            self.env.pop(name, None)
        self.env.update(
            XDG_RUNTIME_DIR=self.folder,
            HOME=self.folder,
            XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
            XDG_STATE_HOME=os.path.join(self.folder, "state"),
            PULSE_SERVER="unix:" + os.path.join(self.folder, "pulse", "native"),
            PULSE_SINK=SINK,
            PULSE_SOURCE=SINK + ".monitor",
        )
        log = open(os.path.join(self.folder, "server.log"), "wb")
        try:
            # Each daemon's process id on a line, so freeze() can stop one.
            self._server = subprocess.Popen(
                ["dbus-run-session", "--", "sh", "-c", PIPEWIRE_SESSION],
                env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=log,
                text=True, **self.user)
        finally:
            log.close()
        try:
            for _ in range(3):
                name, pid = self._server.stdout.readline().split()
                self._pids[name] = int(pid)
            self._wait_until_answering()
            self._raise_priority()
            self._make_sink()
            self._hear_control_sound()
        except Exception:
            self.stop()
            raise

    def _raise_priority(self):
        """On a desktop the sound runs ahead of other work (rtkit sees to it);
        here a busy machine would make the graph miss a quantum now and then,
        heard as a gap in a cue. Root gives the two daemons' threads a head
        start; an ordinary user cannot, and does without."""
        if os.geteuid() != 0:
            return
        for name in ("pipewire", "pipewire-pulse"):
            for task in os.listdir("/proc/%d/task" % self._pids[name]):
                os.setpriority(os.PRIO_PROCESS, int(task), -11)

    def _make_sink(self):
        self._wait_for(lambda: self._pactl("load-module", "module-null-sink",
                                           "sink_name=" + SINK, "rate=%d" % RATE,
                                           "channels=%d" % CHANNELS), "the null sink")
        self._pactl("set-default-sink", SINK)

    def _hear_control_sound(self):
        tone = os.path.join(self.folder, "control.wav")
        with wave.open(tone, "wb") as out:
            out.setnchannels(CHANNELS)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(b"".join(struct.pack("<hh", v, v) for v in
                                     (int(8000 * math.sin(i / 7)) for i in range(RATE // 5))))
        with wave.open(tone, "rb") as back:
            frames = back.getnframes()
            # paplay may leave off the last few milliseconds as it closes: the
            # middle of the tone is what must be heard.
            back.setpos(frames // 4)
            expected = back.readframes(frames // 2)
        for _ in range(2):  # a session manager just started may link it late
            self.record_start()
            try:
                subprocess.run(["paplay", tone], env=self.env, stdin=subprocess.DEVNULL,
                               capture_output=True, timeout=5)
            except subprocess.TimeoutExpired:
                pass
            if expected in self.record_stop():
                return
        raise PulseError("the recording of PipeWire's null sink does not hear paplay; "
                         "the server itself does not work here:\n" + self.server_log())

    def record_start(self):
        """Starts recording; returns once the monitor's sound flows in."""
        super().record_start()
        self._wait_for(lambda: os.path.getsize(self._recording) >= FRAME_BYTES * RATE // 50,
                       "the recording")

    def _pactl(self, *words):
        return subprocess.run(["pactl", *words], env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=5).returncode == 0

    def stop(self):
        if self._server is not None:
            self.thaw()
            for pid in reversed(list(self._pids.values())):
                try:
                    os.kill(pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
            # With its daemons gone, dbus-run-session ends its bus too.
            try:
                self._server.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        super().stop()

    def freeze(self):
        os.kill(self._pids[self.frozen], signal.SIGSTOP)

    def thaw(self):
        for pid in self._pids.values():
            try:
                os.kill(pid, signal.SIGCONT)
            except ProcessLookupError:
                pass


def sound_server(user=None):
    """The private sound server CTest asks for through TINGOLAMO_SOUND_SERVER:
    "pulseaudio" (the default) or the PipeWire process that freeze() stops,
    "pipewire-pulse" or "pipewire"."""
    kind = os.environ.get("TINGOLAMO_SOUND_SERVER", "pulseaudio")
    if kind == "pulseaudio":
        return PrivatePulse()
    return PrivatePipeWire(frozen=kind, user=user)
