"""A private Wine prefix with the system locale of a row (and so its ANSI code page), an X display
for it, and the registry and drive settings the program reads."""

import os
import select
import socket
import subprocess
import tempfile
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
WINE_RUN = REPOSITORY / "tests" / "wine" / "wine-run"
WINESERVER = "/usr/lib/wine/wineserver"
# A wine start under a busy machine can take seconds; a setup step that takes this long is stuck.
COMMAND_TIMEOUT = 120
XVFB_START_TIMEOUT = 30


def display_reachable(display):
    """Whether an X server answers on DISPLAY (":N", ":N.S" or "host:N")."""
    host, _, number = display.rpartition(":")
    number = number.split(".")[0]
    if not number.isdigit():
        return False
    try:
        if host in ("", "unix"):
            with socket.socket(socket.AF_UNIX) as connection:
                connection.settimeout(2)
                connection.connect(f"/tmp/.X11-unix/X{number}")
        else:
            socket.create_connection((host, 6000 + int(number)), timeout=2).close()
    except OSError:
        return False
    return True


class VirtualDisplay:
    """The X display to use: the one in DISPLAY when it answers, else an Xvfb of our own that is
    stopped with this object."""

    def __init__(self, use_existing=True):
        self.server = None
        existing = os.environ.get("DISPLAY", "")
        if use_existing and existing and display_reachable(existing):
            self.name = existing
            return
        read_end, write_end = os.pipe()
        # -displayfd makes Xvfb pick a free display number and tell it once it accepts clients.
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as announcement:
            ready, _, _ = select.select([announcement], [], [], XVFB_START_TIMEOUT)
            number = announcement.readline().strip() if ready else ""
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"

    def close(self):
        if self.server is not None:
            self.server.terminate()
            try:
                self.server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.server.kill()
            self.server = None

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()


class WineSession:
    """Runs Windows programs in one prefix through tests/wine/wine-run, which builds the locale and
    creates the prefix on first use. The wineserver is ended with the session."""

    def __init__(self, prefix, display, locale="ja_JP.UTF-8"):
        self.prefix = Path(prefix).resolve()
        self.display = display
        self.locale = locale

    def environment(self, debug="-all"):
        return dict(os.environ, DISPLAY=self.display, WINEDEBUG=debug, DISKSENTRY_LOCALE=self.locale)

    def use_locale(self, locale):
        """Runs what follows under another locale; wine-run restarts the wineserver for it."""
        self.locale = locale

    def run(self, *arguments, folder=None, timeout=COMMAND_TIMEOUT):
        """Runs a Windows program to its end; gives its exit code and its output. The output goes
        through a file: a wineserver started on the way would hold a pipe open, and reading the
        pipe would wait for the server to end."""
        with tempfile.TemporaryFile() as output:
            result = subprocess.run([str(WINE_RUN), str(self.prefix), *arguments], cwd=folder,
                                    env=self.environment(), stdin=subprocess.DEVNULL, stdout=output,
                                    stderr=subprocess.STDOUT, timeout=timeout)
            output.seek(0)
            return result.returncode, output.read().decode("cp932", "replace")

    def start(self, arguments, folder, trace_file, debug, wrapper=()):
        """Starts a Windows program in a Unix folder, talking to it through pipes; wrapper is a
        command line that runs Wine, such as strace's."""
        return subprocess.Popen([*wrapper, str(WINE_RUN), str(self.prefix), *arguments], cwd=folder,
                                env=self.environment(debug), stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, stderr=trace_file)

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self._reg("add", key, "/v", name, "/t", kind, "/d", data, "/f")

    def reg_create(self, key):
        self._reg("add", key, "/f")

    def _reg(self, *arguments):
        code, output = self.run("reg", *arguments)
        if code != 0:
            raise RuntimeError(f"reg {' '.join(arguments[:4])} failed with {code}: {output.strip()}")

    def reg_delete(self, key):
        """Removes a key with everything under it; a missing key is no error."""
        self.run("reg", "delete", key, "/f")

    def map_drive(self, letter, folder, kind):
        """Maps a drive letter to a folder with a drive type ("cdrom", "hd"); takes effect after
        restart()."""
        self.point_drive(letter, folder)
        self.reg_add(r"HKLM\Software\Wine\Drives", f"{letter}:", kind)

    def point_drive(self, letter, folder):
        """Re-points a mapped drive at another folder; Wine follows the link at each file open."""
        link = self.prefix / "dosdevices" / f"{letter}:"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(Path(folder).resolve())

    def stop_server(self):
        """Ends the prefix's wineserver and every Windows process in the prefix."""
        subprocess.run([WINESERVER, "-k"], env=dict(os.environ, WINEPREFIX=str(self.prefix)),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=COMMAND_TIMEOUT)

    @staticmethod
    def windows_path(path):
        """The path of a Unix file through Wine's drive Z:, which maps the root folder."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def ensure_ready(self):
        """Creates the prefix if needed (through wine-run) and checks that Wine answers."""
        code, output = self.run("cmd", "/c", "exit")
        if code != 0:
            raise RuntimeError(f"Wine does not start in {self.prefix}: {output.strip()}")
