#!/usr/bin/env python3
"""Runs the built crclist on a disc folder mirrored by the fault file system, whose reads fail or
stall where each case says, in every reading order: the output and exit code must be what a
one-by-one run gives, the first failure in list order.

Usage: fault-test.py CRCLIST
Exits 77 (skipped) where FUSE is not available.
"""

import subprocess
import sys
import tempfile
import time
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "faultfs"))
from faultmount import FaultMount, unavailable  # noqa: E402

SKIPPED = 77
EIO = "Input/output error"
STOPPED = "stopped at the first failure, as Disksentry does (--keep-going verifies every file)\n"
# Listed in this order; large enough to take several reads of a FUSE request each.
FILES = {"a.bin": 300_000, "b.bin": 500_000, "gamedata/c.bin": 200_000}


def content(name, size):
    seed = zlib.crc32(name.encode())
    return bytes((seed + i * 7) & 0xFF for i in range(size))


def changed(name):
    data = bytearray(content(name, FILES[name]))
    data[1000] ^= 0x01
    return bytes(data)


def listed_crc(name):
    return f"0x{zlib.crc32(content(name, FILES[name])):08X}"


def wrong_crc(name):
    return f"wrong CRC-32: listed {listed_crc(name)}, found 0x{zlib.crc32(changed(name)):08X}"


# (name, files changed after the list was made, --fail, --stall, --keep-going, exit code,
#  output, least seconds)
CASES = [
    ("a read that fails in the middle", (), [("b.bin", 196_608)], [], False, 1,
     f"b.bin: unreadable at byte 196608: {EIO}\n" + STOPPED, 0),
    ("the run goes on past it", ("gamedata/c.bin",), [("b.bin", 196_608)], [], True, 1,
     f"b.bin: unreadable at byte 196608: {EIO}\n"
     f"gamedata/c.bin: {wrong_crc('gamedata/c.bin')}\n"
     "2 of 3 files failed; verified: 1 CDFILES, 0 GAMEDATA\n", 0),
    # While the first file stalls, the last one's read has long failed where files are read ahead.
    ("an earlier failure comes first", ("a.bin",), [("gamedata/c.bin", 0)], [("a.bin", 0, 1)],
     False, 1, f"a.bin: {wrong_crc('a.bin')}\n" + STOPPED, 1),
    ("a read that stalls, then succeeds", (), [], [("b.bin", 100_000, 2)], False, 0,
     "all 3 files verified: 2 CDFILES, 1 GAMEDATA\n", 2),
]


def main():
    crclist = sys.argv[1]
    reason = unavailable()
    if reason:
        print(f"skipped: no fault file system: {reason}")
        return SKIPPED
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        source = work / "disc"
        for name, size in FILES.items():
            (source / name).parent.mkdir(parents=True, exist_ok=True)
            (source / name).write_bytes(content(name, size))
        subprocess.run([crclist, "make", str(source), "--drive-info", "x"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        for name, changed_names, fail, stall, keep_going, code, output, least in CASES:
            for order in ("sequential", "parallel", "auto"):
                for changed_name in changed_names:
                    (source / changed_name).write_bytes(changed(changed_name))
                with FaultMount(source, work / "mount", fail=fail, stall=stall):
                    started = time.monotonic()
                    run = subprocess.run(
                        [crclist, "verify", "--root", str(work / "mount"), f"--reading={order}"]
                        + (["--keep-going"] if keep_going else []),
                        capture_output=True, text=True, timeout=60)
                    took = time.monotonic() - started
                for changed_name in changed_names:
                    (source / changed_name).write_bytes(content(changed_name, FILES[changed_name]))
                if run.returncode != code or run.stdout != output or took < least:
                    print(f"FAILED: {name}, --reading={order}: exit {run.returncode} (expected "
                          f"{code}) after {took:.1f} s (at least {least}):\n{run.stdout}"
                          f"{run.stderr}expected:\n{output}")
                    failures += 1

        # make names the file and writes nothing.
        written = work / "list.INF"
        with FaultMount(source, work / "mount", fail=[("b.bin", 196_608)]):
            run = subprocess.run([crclist, "make", str(work / "mount"), "--drive-info", "x",
                                  "-o", str(written)], capture_output=True, text=True, timeout=60)
        expected = f"crclist: b.bin: unreadable at byte 196608: {EIO}\n"
        if run.returncode != 2 or run.stderr != expected or written.exists():
            print(f"FAILED: make on an unreadable file: exit {run.returncode}, wrote "
                  f"{written.exists()}:\n{run.stderr}expected:\n{expected}")
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
