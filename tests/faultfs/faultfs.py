#!/usr/bin/env python3
"""A read-only mirror of a folder whose chosen files fail or stall as a damaged disc or a slow
drive does.

Usage: faultfs.py SOURCE MOUNTPOINT [--fail RELPATH:OFFSET]... [--bad RELPATH:OFFSET:LENGTH]...
                  [--stall RELPATH:OFFSET:SECONDS]...

--fail: a read of RELPATH from byte OFFSET on fails with EIO; a read that starts before OFFSET
gets the bytes up to it, so the failure is seen at OFFSET exactly.
--bad: the same for the LENGTH bytes from OFFSET alone, as a bad sector of an image's disk; reads
after them succeed.
--stall: the first read of RELPATH that reaches byte OFFSET waits SECONDS, then reads normally.

Runs in the foreground until unmounted (fusermount3 -u MOUNTPOINT) and prints a line for every
read it stalls or fails. The page cache is bypassed for the files named, so every read of them
reaches this process, run after run.
"""

import argparse
import errno
import os
import sys
import threading
import time

try:
    import fusepy as fuse  # Debian's python3-fusepy
except ImportError:
    import fuse


def fault(text, parts):
    """RELPATH:OFFSET[:SECONDS] (the path may hold colons) as (path, offset[, seconds])."""
    fields = text.rsplit(":", parts - 1)
    if len(fields) != parts or not fields[0]:
        raise argparse.ArgumentTypeError(f"{text!r}: expected {'RELPATH:OFFSET:SECONDS' if parts == 3 else 'RELPATH:OFFSET'}")
    try:
        numbers = [int(fields[1])] + [float(field) for field in fields[2:]]
    except ValueError as error:
        raise argparse.ArgumentTypeError(f"{text!r}: {error}") from None
    return ("/" + fields[0].strip("/"),) + tuple(numbers)


class FaultyMirror(fuse.Operations):
    use_ns = True

    def __init__(self, source, failures, stalls):
        self.source = os.path.realpath(source)
        # path: (first byte that fails, first byte past them)
        self.failures = {path: (fault[0], fault[1] if len(fault) > 1 else float("inf"))
                         for path, *fault in failures}
        self.stalls = {path: (offset, seconds) for path, offset, seconds in stalls}
        self.stalled = set()
        self.stalling = threading.Lock()

    def _real(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            status = os.lstat(self._real(path))
        except OSError as error:
            raise fuse.FuseOSError(error.errno) from None
        attributes = {key: getattr(status, key)
                      for key in ("st_mode", "st_nlink", "st_size", "st_uid", "st_gid")}
        for key in ("st_atime", "st_mtime", "st_ctime"):
            attributes[key] = getattr(status, key + "_ns")
        return attributes

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._real(path))

    def readlink(self, path):
        return os.readlink(self._real(path))

    def statfs(self, path):
        status = os.statvfs(self._real(path))
        return {key: getattr(status, key) for key in (
            "f_bsize", "f_frsize", "f_blocks", "f_bfree", "f_bavail", "f_files", "f_ffree",
            "f_favail", "f_flag", "f_namemax")}

    def open(self, path, info):
        if info.flags & (os.O_WRONLY | os.O_RDWR):
            raise fuse.FuseOSError(errno.EROFS)
        info.fh = os.open(self._real(path), os.O_RDONLY)
        if path in self.failures or path in self.stalls:
            info.direct_io = 1
        return 0

    def read(self, path, size, offset, info):
        if path in self.stalls:
            at, seconds = self.stalls[path]
            with self.stalling:
                due = path not in self.stalled and offset <= at < offset + size
                if due:
                    self.stalled.add(path)
            if due:
                print(f"stalled {path.lstrip('/')} at {offset}", flush=True)
                time.sleep(seconds)
        if path in self.failures:
            at, end = self.failures[path]
            if at <= offset < end:
                print(f"failed {path.lstrip('/')} at {offset}", flush=True)
                raise fuse.FuseOSError(errno.EIO)
            if offset < at:
                size = min(size, at - offset)
        return os.pread(info.fh, size, offset)

    def release(self, path, info):
        os.close(info.fh)
        return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("mountpoint")
    parser.add_argument("--fail", action="append", default=[], metavar="RELPATH:OFFSET",
                        type=lambda text: fault(text, 2))
    parser.add_argument("--bad", action="append", default=[], metavar="RELPATH:OFFSET:LENGTH",
                        type=lambda text: fault(text, 3))
    parser.add_argument("--stall", action="append", default=[], metavar="RELPATH:OFFSET:SECONDS",
                        type=lambda text: fault(text, 3))
    arguments = parser.parse_args()
    if not os.path.isdir(arguments.source):
        parser.error(f"{arguments.source}: no such folder")
    bad = [(path, offset, offset + int(length)) for path, offset, length in arguments.bad]
    fuse.FUSE(FaultyMirror(arguments.source, arguments.fail + bad, arguments.stall),
              arguments.mountpoint, raw_fi=True, foreground=True, ro=True,
              fsname="faultfs")
    return 0


if __name__ == "__main__":
    sys.exit(main())
