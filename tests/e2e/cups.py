"""A private CUPS print server for the tests.

PrivateCups starts its own cupsd in a temporary folder, listening only on a
Unix socket there, with one PDF queue ("pdf") whose jobs are collected as
files by a small backend of ours. Programs started with `.env` see this server
and nothing of the machine's own printing setup.

    with PrivateCups() as cups:
        subprocess.run([program], env=cups.env)
        pdfs = cups.wait_for_jobs(1)

Needs the Debian packages cups-daemon, cups-client, cups-bsd and cups-filters
(pdftopdf), and root (the backend runs as root so that it can write anywhere).
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SYSTEM_SERVER_BIN = Path("/usr/lib/cups")
CUPSD = "/usr/sbin/cupsd"

# Paper sizes in PostScript points (1/72 inch).
PAPER = {"Letter": (612, 792), "A4": (595, 842)}

# Unprintable edges of the test printer, in points: deliberately uneven so
# that a program that ignores them, or turns them the wrong way, shows it.
DEFAULT_MARGINS = {"left": 36, "bottom": 72, "right": 18, "top": 54}


def _ppd(default_size, margins):
    """A minimal PPD for a colour PDF printer with Letter and A4 paper."""
    lines = [
        '*PPD-Adobe: "4.3"',
        '*FormatVersion: "4.3"',
        '*FileVersion: "1.0"',
        "*LanguageVersion: English",
        "*LanguageEncoding: ISOLatin1",
        '*PCFileName: "RACCOLTA.PPD"',
        '*Manufacturer: "Tingolamo"',
        '*Product: "(Raccolta)"',
        '*ModelName: "Raccolta PDF"',
        '*ShortNickName: "Raccolta PDF"',
        '*NickName: "Raccolta PDF"',
        '*PSVersion: "(3010.000) 0"',
        '*LanguageLevel: "3"',
        "*ColorDevice: True",
        "*DefaultColorSpace: RGB",
        "*FileSystem: False",
        '*Throughput: "1"',
        "*LandscapeOrientation: Plus90",
        '*cupsVersion: 2.4',
        '*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"',
        "*DefaultResolution: 300dpi",
    ]
    for keyword in ("PageSize", "PageRegion"):
        lines += [f"*OpenUI *{keyword}: PickOne",
                  f"*OrderDependency: 10 AnySetup *{keyword}",
                  f"*Default{keyword}: {default_size}"]
        for name, (width, height) in PAPER.items():
            lines.append(f'*{keyword} {name}/{name}: '
                         f'"<</PageSize[{width} {height}]/ImagingBBox null>>setpagedevice"')
        lines.append(f"*CloseUI: *{keyword}")
    lines.append(f"*DefaultImageableArea: {default_size}")
    for name, (width, height) in PAPER.items():
        lines.append(f'*ImageableArea {name}/{name}: "{margins["left"]} {margins["bottom"]} '
                     f'{width - margins["right"]} {height - margins["top"]}"')
    lines.append(f"*DefaultPaperDimension: {default_size}")
    for name, (width, height) in PAPER.items():
        lines.append(f'*PaperDimension {name}/{name}: "{width} {height}"')
    return "\n".join(lines) + "\n"


class PrivateCups:
    """A cupsd of our own, its queues and the jobs they received.

    `paper` and `margins` (points, keys left/bottom/right/top) describe the
    queue's default paper and its unprintable edges. With default=False the
    queue exists but no printer is the default.
    """

    QUEUE = "pdf"

    def __init__(self, paper="Letter", margins=None, default=True):
        self.paper = paper
        self.margins = dict(margins or DEFAULT_MARGINS)
        self.make_default = default
        self.root = None
        self.process = None

    # ----------------------------------------------------------- lifecycle
    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        shutil.rmtree(self.root, ignore_errors=True)
        return False

    def start(self):
        if self.root is None:
            self._lay_out()
        self.process = subprocess.Popen(
            [CUPSD, "-f", "-c", str(self.conf), "-s", str(self.files_conf)],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, start_new_session=True)
        self._wait_until_running()
        if not self._queue_exists():
            self._add_queue()

    def stop(self):
        """Stops the server; its queues and kept job files stay for a restart."""
        if self.process is None:
            return
        if self.process.poll() is None:
            self.thaw()
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        self.process.stderr.close()
        self.process = None

    def freeze(self):
        """Stops the scheduler and its filters where they stand (SIGSTOP): it
        takes connections but answers nothing until thaw()."""
        os.killpg(self.process.pid, signal.SIGSTOP)

    def thaw(self):
        os.killpg(self.process.pid, signal.SIGCONT)

    @property
    def env(self):
        """The environment of a client of this server only."""
        env = dict(os.environ)
        for name in ("PRINTER", "LPDEST", "CUPS_USER", "CUPS_ENCRYPTION"):
            env.pop(name, None)
        env["CUPS_SERVER"] = str(self.socket)
        env["HOME"] = str(self.home)  # no ~/.cups/lpoptions of the real user
        return env

    def running(self):
        # lpstat -r exits 0 whether or not a scheduler answers: read its text.
        result = self.lp("lpstat", "-r", check=False)
        return "scheduler is running" in result.stdout and "not" not in result.stdout

    def lp(self, *command, check=True):
        """Runs a CUPS client command against this server."""
        return subprocess.run(list(command), env=self.env, capture_output=True, text=True,
                              timeout=30, check=check)

    # ----------------------------------------------------------- queues
    def set_default(self, queue):
        self.lp("lpadmin", "-d", queue)

    def default_queue(self):
        text = self.lp("lpstat", "-d", check=False).stdout
        return text.split(":", 1)[1].strip() if "destination:" in text else None

    # ----------------------------------------------------------- jobs
    def jobs(self):
        """The documents the printer received, oldest first."""
        files = self.out.glob("job-*.pdf")
        return sorted(files, key=lambda path: int(path.stem.split("-")[1]))

    def wait_for_jobs(self, count, timeout=30):
        """Waits until at least `count` documents have been received."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if len(self.jobs()) >= count:
                return self.jobs()
            time.sleep(0.1)
        raise TimeoutError(f"{len(self.jobs())} jobs printed, {count} expected; "
                           f"{self.error_log()[-2000:]}")

    def job_ids(self, which="all"):
        """IDs of the jobs the server knows ("all", "completed", "not-completed")."""
        text = self.lp("lpstat", "-W", which, "-o", check=False).stdout
        return [int(line.split()[0].rsplit("-", 1)[1]) for line in text.splitlines() if line]

    def submitted_files(self):
        """The documents as the client sent them, kept by the server, oldest first."""
        files = self.spool.glob("d*-001")
        return sorted(files, key=lambda path: int(path.name[1:].split("-")[0]))

    def error_log(self):
        log = self.root / "log" / "error_log"
        return log.read_text(errors="replace") if log.exists() else ""

    # ----------------------------------------------------------- internals
    def _lay_out(self):
        self.root = Path(tempfile.mkdtemp(prefix="tingolamo-cups-"))
        # cupsd runs filters as user lp: it must be able to walk into the folder.
        self.root.chmod(0o755)
        for name in ("conf", "conf/ppd", "spool", "spool/tmp", "cache", "state", "log",
                     "home", "out", "bin", "bin/backend"):
            (self.root / name).mkdir(mode=0o755)
        self.conf = self.root / "conf" / "cupsd.conf"
        self.files_conf = self.root / "conf" / "cups-files.conf"
        self.socket = self.root / "cups.sock"
        self.spool = self.root / "spool"
        self.home = self.root / "home"
        self.out = self.root / "out"
        self._lay_out_server_bin()
        self.conf.write_text(self._cupsd_conf())
        self.files_conf.write_text(self._files_conf())
        (self.root / "raccolta.ppd").write_text(_ppd(self.paper, self.margins))

    def _lay_out_server_bin(self):
        bin_dir = self.root / "bin"
        for entry in SYSTEM_SERVER_BIN.iterdir():
            if entry.name != "backend":
                (bin_dir / entry.name).symlink_to(entry)
        backend = bin_dir / "backend" / "raccolta"
        shutil.copyfile(HERE / "raccolta_backend.sh", backend)
        backend.chmod(0o700)  # owned by root, not group/world readable: runs as root

    def _cupsd_conf(self):
        return f"""LogLevel info
Listen {self.socket}
Browsing No
WebInterface No
DefaultAuthType None
PreserveJobFiles Yes
PreserveJobHistory Yes
MaxJobs 0
JobRetryLimit 0
ErrorPolicy abort-job
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
"""

    def _files_conf(self):
        root = self.root
        return f"""ServerRoot {root}/conf
ServerBin {root}/bin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
RequestRoot {root}/spool
TempDir {root}/spool/tmp
CacheDir {root}/cache
StateDir {root}/state
AccessLog {root}/log/access_log
ErrorLog {root}/log/error_log
PageLog {root}/log/page_log
Printcap {root}/state/printcap
User lp
Group lp
SystemGroup root
"""

    def _wait_until_running(self, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("cupsd stopped: " + self.process.stderr.read().decode()
                                   + self.error_log())
            if self.socket.exists() and self.running():
                return
            time.sleep(0.1)
        raise TimeoutError("cupsd did not start: " + self.error_log())

    def _queue_exists(self):
        return self.QUEUE in self.lp("lpstat", "-p", check=False).stdout

    def _add_queue(self):
        self.lp("lpadmin", "-p", self.QUEUE, "-E", "-v", f"raccolta:{self.out}",
                "-P", str(self.root / "raccolta.ppd"))
        if self.make_default:
            self.set_default(self.QUEUE)
