"""faultfs.py mounted for the time of a with block, by the tests."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

FAULTFS = Path(__file__).with_name("faultfs.py")
MOUNT_TIMEOUT = 10


def unavailable():
    """Why no fault file system can be mounted here, or None."""
    if not os.path.exists("/dev/fuse"):
        return "/dev/fuse is missing (a container without FUSE)"
    if shutil.which("fusermount3") is None:
        return "fusermount3 is missing (Debian's fuse3)"
    try:
        import fusepy  # noqa: F401
    except ImportError:
        return f"{sys.executable} cannot import fusepy (Debian's python3-fusepy)"
    return None


class FaultMount:
    """SOURCE mirrored at MOUNTPOINT, with reads of RELPATH failing from OFFSET on (fail, pairs)
    or for LENGTH bytes from OFFSET (bad, triples), and waiting SECONDS once at OFFSET (stall,
    triples)."""

    def __init__(self, source, mountpoint, fail=(), stall=(), bad=()):
        self.mountpoint = Path(mountpoint)
        self.command = [sys.executable, str(FAULTFS), str(source), str(mountpoint)]
        self.command += [f"--fail={path}:{offset}" for path, offset in fail]
        self.command += [f"--bad={path}:{offset}:{length}" for path, offset, length in bad]
        self.command += [f"--stall={path}:{offset}:{seconds}" for path, offset, seconds in stall]
        self.process = None
        self.log = tempfile.TemporaryFile()
        self.fail = list(fail) + [(path, offset) for path, offset, _ in bad]
        self.stall = list(stall)

    def __enter__(self):
        self.mountpoint.mkdir(parents=True, exist_ok=True)
        self.process = subprocess.Popen(self.command, stdout=self.log, stderr=subprocess.PIPE)
        deadline = time.monotonic() + MOUNT_TIMEOUT
        while not os.path.ismount(self.mountpoint):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.process.kill()
                _, errors = self.process.communicate()
                raise RuntimeError(f"faultfs did not mount {self.mountpoint}: "
                                   f"{errors.decode(errors='replace')}")
            time.sleep(0.05)
        return self

    def __exit__(self, *_):
        # A process that still holds a file keeps the mount busy for a moment.
        deadline = time.monotonic() + MOUNT_TIMEOUT
        while subprocess.run(["fusermount3", "-u", str(self.mountpoint)],
                             stderr=subprocess.DEVNULL).returncode != 0:
            if time.monotonic() > deadline:
                subprocess.run(["fusermount3", "-u", "-z", str(self.mountpoint)])
                break
            time.sleep(0.1)
        try:
            self.process.wait(timeout=MOUNT_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process.stderr.close()

    def unmet(self):
        """The faults that no read reached, as text; call after the with block."""
        self.log.seek(0)
        events = [line.split(" at ")[0] for line in self.log.read().decode().splitlines()]
        return ([f"no read of {path} failed" for path, _ in self.fail
                 if f"failed {path}" not in events] +
                [f"no read of {path} stalled" for path, _, _ in self.stall
                 if f"stalled {path}" not in events])
