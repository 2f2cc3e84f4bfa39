"""A fresh Wine prefix of its own, for tests of the Windows program.

    with WinePrefix(display.env) as wine:
        wine.run(installer, "/S")
        wine.unix(r"C:\\Program Files\\TINGOLAMO")   # the folder on this machine

Everything lives in a temporary folder: the prefix (C:), and the HOME that
Wine links the Windows user's folders into. Wine reports Windows 10, the
oldest version the program is built for (a new prefix of Wine 8 says
Windows 7); Mono, Gecko and the desktop menu entries Wine would make are
left out. `env` carries the display and whatever servers the caller adds
(PULSE_SERVER, CUPS_SERVER). On leaving, the prefix's wineserver and every
Windows process it runs are ended.
"""

import os
import shutil
import subprocess
import tempfile

WINE = "wine"


class WinePrefix:
    def __init__(self, env, boot_timeout=300):
        self.env = dict(env)
        self.boot_timeout = boot_timeout
        self.folder = None

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix="tingolamo-wine-")
        home = os.path.join(self.folder, "home")
        os.mkdir(home)
        self.env.update({
            "WINEPREFIX": os.path.join(self.folder, "prefix"),
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe=d",
            "HOME": home,
            "XDG_DATA_HOME": os.path.join(home, "share"),
            "XDG_CONFIG_HOME": os.path.join(home, "config"),
        })
        try:
            self.run("wineboot", "--init", timeout=self.boot_timeout)
            self.run("winecfg", "-v", "win10")
        except Exception:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        if self.folder:
            subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True, timeout=60)
            subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True, timeout=60)
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None

    def command(self, program, *args):
        return [WINE, program, *args]

    def run(self, program, *args, timeout=120, check=True):
        """Runs a Windows program to its end; its exit status is Wine's."""
        result = subprocess.run(self.command(program, *args), env=self.env, capture_output=True,
                                text=True, errors="replace", timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"wine {program} {' '.join(args)} ended with {result.returncode}: "
                               f"{result.stderr[-2000:]}")
        return result

    def unix(self, windows_path):
        """Where a path of drive C: lies on this machine."""
        drive, rest = windows_path.split(":", 1)
        assert drive.upper() == "C", windows_path
        return os.path.join(self.env["WINEPREFIX"], "drive_c", *rest.strip("\\").split("\\"))

    def registry(self, key):
        """The values of a registry key, name -> text, or None without the key."""
        result = self.run("reg", "query", key, check=False)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
        return values
