#!/usr/bin/env python3
"""Runs the built crclist over every kind of image a game disc becomes, made by real writers
(xorriso, genisoimage, pycdlib) or framed here as raw CD sectors: each is verified intact against
the list made from the disc's folder, its list is made and shown from it, and each is damaged in
one place (a byte of a file's data, one sector's EDC, a track cut short, a read that fails
through the fault file system) to fail exactly the file that holds the damage.

Usage: image-formats-test.py CRCLIST
"""

import json
import random
import shutil
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "faultfs"))
from faultmount import FaultMount, unavailable  # noqa: E402

SECTOR = 2048
RAW = 2352
EIO = "Input/output error"
# Sizes that take several sectors each; the long name is whole only where UDF names it.
FILES = {
    "readme.txt": 3_000,
    "setup.dat": 70_000,
    "ソフト説明.txt": 9_000,
    "gamedata/data1.bin": 300_000,
    "gamedata/ｶﾅ/ソ.bin": 5_000,
}
LONG_NAME = "とても長い名前のファイルは、ジョリエットでは六十四文字で切られてしまいますが、UDFならそのまま残ります.dat"
DAMAGED = "gamedata/data1.bin"


def listed(path):
    """The name that the report gives a file of the disc: a GAMEDATA entry's is within it."""
    return path.removeprefix("gamedata/").replace("/", "\\")


DAMAGED_LISTED = listed(DAMAGED)


def content(name, size):
    # Random bytes, so that no file's start is found inside another's.
    return random.Random(zlib.crc32(name.encode())).randbytes(size)


def run(command, cwd=None):
    return subprocess.run([str(part) for part in command], cwd=cwd, capture_output=True,
                          timeout=120)


def must(command):
    result = run(command)
    assert result.returncode == 0, f"{command}: {result.stderr.decode(errors='replace')}"
    return result.stdout.decode()


class Disc:
    """A disc folder, its list made by crclist, and its images, with where each file's data
    lies in them."""

    def __init__(self, crclist, work, long_name):
        self.crclist = crclist
        self.folder = work / ("long" if long_name else "disc")
        self.files = dict(FILES)
        if long_name:
            self.files[LONG_NAME] = 20_000
        for name, size in self.files.items():
            path = self.folder / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content(name, size))
        must([crclist, "make", self.folder, "--drive-info", "x", "--title", "t"])
        self.list = self.folder / "crclist.INF"


def frame(arguments):
    output = must([sys.executable, HERE / "make-raw-image.py", *arguments])
    return int(output.split()[-1])


# Each image: (file to name with --image, the data file that holds its sectors, the format and
# tree the report must give, the address of the data file's first sector, its sector size).
def make_images(work, disc, long_disc):
    images = {}
    iso = work / "joliet.iso"
    must(["xorriso", "-as", "mkisofs", "-J", "-r", "-o", iso, disc.folder])
    images["xorriso Joliet"] = (disc, iso, iso, "plain", "Joliet", 0, SECTOR)
    bridge = work / "bridge.iso"
    must(["genisoimage", "-quiet", "-input-charset", "utf-8", "-R", "-udf", "-o", bridge,
          long_disc.folder])
    images["genisoimage UDF bridge"] = (long_disc, bridge, bridge, "plain", "UDF 1.02", 0, SECTOR)
    for kind in ("bridge", "udf-side", "udf-alone"):
        image = work / f"pycdlib-{kind}.iso"
        must([sys.executable, HERE / "make-udf-image.py", long_disc.folder, image, kind])
        images[f"pycdlib {kind}"] = (long_disc, image, image, "plain", "UDF 1.02", 0, SECTOR)
    raw = work / "raw"
    raw.mkdir()
    for name, arguments in {"mode1": [], "mode2": ["--mode", "2"]}.items():
        start = frame(["cue", iso, raw / f"{name}.cue", *arguments])
        images[f"cue {name}"] = (disc, raw / f"{name}.cue", raw / f"{name}.bin", "cue", "Joliet",
                                 start, RAW)
    # Audio first, then the data track, mastered for the address it is written at.
    late = work / "late.iso"
    must(["xorriso", "-as", "mkisofs", "-J", "-C", "0,450", "-o", late, disc.folder])
    start = frame(["cue", late, raw / "audio.cue", "--audio", "300", "--pregap", "--split"])
    images["cue audio first"] = (disc, raw / "audio.cue", raw / "audio-02.bin", "cue", "Joliet",
                                 start, RAW)
    frame(["cue2048", iso, raw / "cooked.cue"])
    images["cue MODE1/2048"] = (disc, raw / "cooked.cue", raw / "cooked.iso", "cue", "Joliet", 0,
                                SECTOR)
    start = frame(["ccd", iso, raw / "clone.ccd"])
    images["CloneCD"] = (disc, raw / "clone.ccd", raw / "clone.img", "clonecd", "Joliet", start,
                         RAW)
    start = frame(["mds", iso, raw / "cd.mds"])
    images["Alcohol CD"] = (disc, raw / "cd.mds", raw / "cd.mdf", "alcohol", "Joliet", start, RAW)
    start = frame(["mds", iso, raw / "dvd.mds", "--dvd"])
    images["Alcohol DVD"] = (disc, raw / "dvd.mds", raw / "dvd.mdf", "alcohol", "Joliet", start,
                             SECTOR)
    return images


def offset_of(data, name, files, sector_size):
    """Where the file's first bytes lie in the data file, and the index of that sector."""
    head = content(name, files[name])[:1024]
    at = data.find(head)
    assert at >= 0, f"{name} not found in the image"
    return at, at // sector_size


def verify(crclist, image, disc, *extra):
    result = run([crclist, "verify", "--image", image, "--list", disc.list, "--keep-going",
                  "--json", "-", *extra])
    try:
        report = json.loads(result.stdout)
    except ValueError:
        report = None
    return result, report


class Check:
    def __init__(self):
        self.failures = []

    def expect(self, condition, what, result=None):
        if not condition:
            shown = ""
            if result is not None:
                out = result.stdout.decode(errors="replace")
                shown = (f"\n  exit {result.returncode}\n  {out[-3000:]}"
                         f"\n  {result.stderr.decode(errors='replace')}")
            self.failures.append(what + shown)


def statuses(report):
    return {entry["name"]: entry for entry in report["files"]} if report else {}


def intact_rows(check, crclist, images, work):
    for label, (disc, image, _, form, tree, _, _) in images.items():
        result, report = verify(crclist, image, disc)
        check.expect(result.returncode == 0 and report and report["image"] == {
            "format": form, "tree": tree} and report["totals"]["intact"] == len(disc.files),
            f"{label}: intact, read as {form} and {tree}", result)
        made = work / "made.INF"
        result = run([crclist, "make", "--image", image, "--drive-info", "x", "--title", "t",
                      "-o", made])
        check.expect(result.returncode == 0 and made.read_bytes() == disc.list.read_bytes(),
                     f"{label}: make writes the folder's own list", result)
        made.unlink(missing_ok=True)
        result = run([crclist, "show", "--image", image, "--json"])
        shown = json.loads(result.stdout) if result.returncode == 0 else {}
        check.expect(shown.get("loaded") and shown.get("title") == "t",
                     f"{label}: show reads the image's own list", result)


def damaged_rows(check, crclist, images, work):
    for label, (disc, image, data_file, _, _, start, sector_size) in images.items():
        original = data_file.read_bytes()
        at, sector = offset_of(original, DAMAGED, disc.files, sector_size)
        damaged_sector = sector + 3
        cases = [("a byte of its data", lambda data: data.__setitem__(
            at + 3 * sector_size + 700, data[at + 3 * sector_size + 700] ^ 0x40))]
        if sector_size == RAW:
            cases.append(("its sector's EDC", lambda data: data.__setitem__(
                damaged_sector * RAW + 2064, data[damaged_sector * RAW + 2064] ^ 1)))
        for what, damage in cases:
            data = bytearray(original)
            damage(data)
            data_file.write_bytes(data)
            result, report = verify(crclist, image, disc)
            entry = statuses(report).get(DAMAGED_LISTED, {})
            others = [e for n, e in statuses(report).items() if n != DAMAGED_LISTED]
            if sector_size == RAW:
                lba = start + damaged_sector
                good = (entry.get("status") == "unreadable" and entry.get("failedAt") ==
                        3 * SECTOR and f"sector {lba} (" in entry.get("reason", "") and
                        "EDC" in entry.get("reason", ""))
            else:
                good = entry.get("status") == "CRC-32 differs"
            check.expect(result.returncode == 1 and good and
                         all(e["status"] == "intact" for e in others),
                         f"{label}: {what} fails {DAMAGED} alone", result)
        data_file.write_bytes(original)
    # A damaged sector in no file fails nothing, and lint names it.
    disc, image, data_file, _, _, start, _ = images["cue mode1"]
    original = data_file.read_bytes()
    data = bytearray(original)
    data[2 * RAW + 2064] ^= 1
    data_file.write_bytes(data)
    result, _ = verify(crclist, image, disc)
    check.expect(result.returncode == 0, "a damaged sector outside every file fails nothing",
                 result)
    result = run([crclist, "lint", disc.list, "--image", image])
    check.expect(result.returncode == 1 and f"sector {start + 2} (" in result.stdout.decode() and
                 "outside every file [unreadable-sector]" in result.stdout.decode(),
                 "lint names a damaged sector outside every file", result)
    data_file.write_bytes(original)


def truncated_rows(check, crclist, images):
    for label in ("xorriso Joliet", "cue mode1", "pycdlib udf-alone"):
        disc, image, data_file, _, _, _, sector_size = images[label]
        original = data_file.read_bytes()
        last = max(disc.files, key=lambda name: offset_of(original, name, disc.files,
                                                          sector_size)[0])
        at, _ = offset_of(original, last, disc.files, sector_size)
        data_file.write_bytes(original[:at + sector_size + 100])
        result, report = verify(crclist, image, disc)
        entry = statuses(report).get(listed(last), {})
        check.expect(result.returncode == 1 and entry.get("status") == "unreadable" and
                     entry.get("reason") == "the image ends before the file's end" and
                     report["totals"]["intact"] == len(disc.files) - 1,
                     f"{label} cut short inside {last}: that file alone is unreadable", result)
        data_file.write_bytes(original)


def read_error_rows(check, crclist, images, work):
    reason = unavailable()
    if reason:
        print(f"read errors skipped: no fault file system: {reason}")
        return
    for label in ("xorriso Joliet", "cue mode1", "pycdlib udf-alone"):
        disc, image, data_file, _, _, _, sector_size = images[label]
        data = data_file.read_bytes()
        at, _ = offset_of(data, DAMAGED, disc.files, sector_size)
        fail_at = at + 5 * sector_size + 10
        mount = work / "mount"
        with FaultMount(image.parent, mount, bad=[(data_file.name, fail_at, sector_size)]):
            result, report = verify(crclist, mount / image.name, disc)
        entry = statuses(report).get(DAMAGED_LISTED, {})
        check.expect(result.returncode == 1 and entry.get("status") == "unreadable" and
                     entry.get("failedAt") == 5 * SECTOR and EIO in entry.get("reason", "") and
                     report["totals"]["intact"] == len(disc.files) - 1,
                     f"{label}: a read error inside {DAMAGED} fails it alone", result)
    # A read error in a folder is named as one.
    disc, image, data_file, *_ = images["xorriso Joliet"]
    root = int.from_bytes(data_file.read_bytes()[17 * SECTOR + 158:17 * SECTOR + 162], "little")
    with FaultMount(image.parent, work / "mount", bad=[(image.name, root * SECTOR, SECTOR)]):
        result, _ = verify(crclist, work / "mount" / image.name, disc)
    check.expect(result.returncode == 2 and f"sector {root} (" in result.stderr.decode() and
                 EIO in result.stderr.decode() and "damaged" not in result.stderr.decode(),
                 "a read error in a folder is named as a read error", result)


def refusal_rows(check, crclist, work):
    for name, data, said in [
        ("disc.chd", b"MComprHD" + bytes(200), "is a CHD image"),
        ("disc.cue", b'FILE "gone.bin" BINARY\r\n  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n',
         "gone.bin: cannot be opened: No such file or directory"),
        ("wave.cue", b'FILE "a.wav" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n'
         b'FILE "b.bin" BINARY\r\n  TRACK 02 MODE1/2352\r\n    INDEX 01 00:00:00\r\n',
         "follows audio in files whose sectors crclist cannot count"),
        ("blank.iso", bytes(40 * SECTOR), "holds no ISO 9660 or UDF volume"),
    ]:
        (work / name).write_bytes(data)
        result = run([crclist, "make", "--image", work / name, "--drive-info", "x", "-o",
                      work / "x.INF"])
        check.expect(result.returncode == 2 and said in result.stderr.decode(),
                     f"{name} is refused: {said}", result)


def udf_refusal_rows(check, crclist, images, work):
    """A UDF volume that libudfread cannot read is refused with that reason."""
    _, _, data_file, *_ = images["pycdlib udf-alone"]
    original = data_file.read_bytes()
    lvd = next(sector for sector in range(32, 256)
               if original[sector * SECTOR:sector * SECTOR + 2] == b"\x06\x00")
    at = lvd * SECTOR
    for what, patch, said in [
        ("blocks of 4 KiB", (at + 212, (4096).to_bytes(4, "little")),
         "its UDF volume has blocks of 4096 bytes, which libudfread does not read"),
        ("a sparable partition", (at + 440, b"\x02\x40\x00\x00\x00*UDF Sparable Partition"),
         "its UDF volume has a Sparable Partition, which libudfread does not read"),
    ]:
        data = bytearray(original)
        data[patch[0]:patch[0] + len(patch[1])] = patch[1]
        image = work / "refused.iso"
        image.write_bytes(data)
        result = run([crclist, "make", "--image", image, "--drive-info", "x", "-o", work / "x.INF"])
        check.expect(result.returncode == 2 and said in result.stderr.decode(),
                     f"a UDF volume with {what} is refused: {said}", result)


def tree_rows(check, crclist, images):
    disc, image, *_ = images["pycdlib udf-side"]
    result = run([crclist, "lint", disc.list, "--image", image])
    out = result.stdout.decode()
    check.expect(result.returncode == 1 and out.count("is only on the UDF side") ==
                 len(disc.files) + 1 and "\"README.TXT\" is only on the Joliet side" in out,
                 "lint names each file that one side of a bridge disc lacks", result)
    disc, image, *_ = images["genisoimage UDF bridge"]
    result = run([crclist, "lint", disc.list, "--image", image])
    check.expect(f"\"{LONG_NAME}\" is \"" in result.stdout.decode() and
                 "Windows reads the UDF side, which names it whole" in result.stdout.decode(),
                 "lint names a name that the ISO 9660 side cuts", result)


def main():
    crclist = Path(sys.argv[1]).resolve()
    check = Check()
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        disc = Disc(crclist, work, long_name=False)
        long_disc = Disc(crclist, work, long_name=True)
        images = make_images(work, disc, long_disc)
        intact_rows(check, crclist, images, work)
        damaged_rows(check, crclist, images, work)
        truncated_rows(check, crclist, images)
        read_error_rows(check, crclist, images, work)
        refusal_rows(check, crclist, work)
        udf_refusal_rows(check, crclist, images, work)
        tree_rows(check, crclist, images)
    for failure in check.failures:
        print(f"FAILED: {failure}")
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
