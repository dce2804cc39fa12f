#!/usr/bin/env python3
"""Runs the built crclist over disc images that xorriso, genisoimage and pycdlib make, and over a
cue sheet with its raw sectors, damaged at random (bytes flipped or zeroed in the volume
descriptors, path tables, folder records, UDF descriptors and file data; sizes made absurd; raw
sectors' sync, headers and EDC flipped; the cue sheet's lines changed; the image cut short):
verify, lint and make must each end with an exit code of their own, within a time limit, without
a sanitizer's report, and leave nothing beside make's output.

Usage: image-mutation-test.py CRCLIST [SEED [SECONDS]]
"""

import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SECTOR = 2048
PER_RUN_SECONDS = 20
EXIT_CODES = {0, 1, 2}
SANITIZER_MARKS = ("runtime error", "AddressSanitizer", "terminate called", "Segmentation")

FILES = ["readme.txt", "setup.dat", "ソフト説明.txt", "日本語/データ.bin", "Readme2.TXT",
         "gamedata/stage/map01.dat", "gamedata/ｶﾅ/ソ.bin", "深い/フォルダ/の/中/file.bin"]
IMAGES = {"joliet.iso": ["-J", "-r"], "joliet-only.iso": ["-J"], "plain.iso": []}
HERE = Path(__file__).resolve().parent
RAW = 2352
CUE_WORDS = [b"FILE", b"TRACK", b"INDEX", b"PREGAP", b"POSTGAP", b"REM SESSION", b"MODE1/2352",
             b"MODE2/2352", b"MODE1/2048", b"AUDIO", b"BINARY", b"WAVE", b"99:59:74", b"00:00:00",
             b"-1", b"4294967295", b'"', b"\x00"]


def run(command, cwd, timeout=PER_RUN_SECONDS):
    return subprocess.run(command, cwd=cwd, capture_output=True, timeout=timeout)


def make_images(crclist, work):
    disc = work / "disc"
    for i, name in enumerate(FILES):
        path = disc / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content(i, 3000 + i * 5000))
    made = run([crclist, "make", str(disc), "--drive-info", "x"], work)
    assert made.returncode == 0, made.stderr.decode()
    images = {}
    for image, options in IMAGES.items():
        subprocess.run(["xorriso", "-as", "mkisofs", *options, "-o", str(work / image), str(disc)],
                       check=True, capture_output=True)
    subprocess.run(["genisoimage", "-quiet", "-input-charset", "utf-8", "-R", "-udf", "-o",
                    str(work / "udf-bridge.iso"), str(disc)], check=True, capture_output=True)
    subprocess.run([sys.executable, str(HERE / "make-udf-image.py"), str(disc),
                    str(work / "udf-alone.iso"), "udf-alone"], check=True, capture_output=True)
    for image in [*IMAGES, "udf-bridge.iso", "udf-alone.iso"]:
        images[image] = {image: (work / image).read_bytes()}
    subprocess.run([sys.executable, str(HERE / "make-raw-image.py"), "cue", str(work / "joliet.iso"),
                    str(work / "mode1.cue")], check=True, capture_output=True)
    images["mode1.cue"] = {name: (work / name).read_bytes() for name in ("mode1.cue", "mode1.bin")}
    return images, disc / "crclist.INF"


def content(index, size):
    return bytes((index * 31 + k * 7) & 0xFF for k in range(size))


def metadata_end(image):
    # xorriso writes descriptors, path tables and folder records before any file's data.
    first_data = image.find(content(0, 64))
    return max(20 * SECTOR, first_data if first_data > 0 else 40 * SECTOR)


def folder_records(image):
    """Where each folder record of the image's trees stands, with whether its tree is Joliet:
    walked from the volume descriptors, so that mutations can aim at the fields that name files."""
    found = []
    sector = 16
    while (sector + 1) * SECTOR <= len(image) and image[sector * SECTOR] != 255:
        descriptor = sector * SECTOR
        kind = image[descriptor]
        joliet = kind == 2 and image[descriptor + 88:descriptor + 90] == b"%/"
        if kind == 1 or joliet:
            walk_folder(image, descriptor + 156, joliet, found, set())
        sector += 1
    return found


def walk_folder(image, record, joliet, found, seen):
    extent = int.from_bytes(image[record + 2:record + 6], "little")
    size = int.from_bytes(image[record + 10:record + 14], "little")
    if extent in seen or (extent * SECTOR + size) > len(image):
        return
    seen.add(extent)
    at, end = extent * SECTOR, extent * SECTOR + size
    while at < end:
        length = image[at]
        if length == 0:
            at = (at // SECTOR + 1) * SECTOR
            continue
        name_length = image[at + 32]
        if not (name_length == 1 and image[at + 33] in (0, 1)):
            found.append((at, joliet))
            if image[at + 25] & 2:
                walk_folder(image, at, joliet, found, seen)
        at += length


def damage_record(data, rng, records):
    """One field of one folder record: its name (a lone surrogate in a Joliet name), the name's or
    the record's length, or the extent or size it points to."""
    at, joliet = rng.choice(records)
    field = rng.choice(["surrogate" if joliet else "name-byte", "name-length", "record-length",
                        "extent", "size"])
    name_length = data[at + 32]
    if field == "surrogate" and name_length >= 2:
        unit = at + 33 + rng.randrange(name_length // 2) * 2
        data[unit:unit + 2] = rng.choice([b"\xD8\x00", b"\xDC\x00"])
    elif field == "name-byte" and name_length >= 1:
        data[at + 33 + rng.randrange(name_length)] = rng.randrange(256)
    elif field == "name-length":
        data[at + 32] = rng.randrange(256)
    elif field == "record-length":
        data[at] = rng.randrange(256)
    elif field == "extent":
        value = rng.randrange(len(data) // SECTOR + 64).to_bytes(4, "little")
        data[at + 2:at + 6] = value
        data[at + 6:at + 10] = value[::-1]
    else:
        value = rng.choice([0xFFFFFFF0, rng.randrange(1 << 32)]).to_bytes(4, "little")
        data[at + 10:at + 14] = value
        data[at + 14:at + 18] = value[::-1]
    return f"record {field}"


def mutate_cue(files, rng):
    """A line of the cue sheet changed, or raw sectors damaged in their framing or data."""
    files = dict(files)
    kind = rng.choice(["cue-line", "cue-line", "raw-flip", "raw-frame", "raw-truncate"])
    if kind == "cue-line":
        lines = files["mode1.cue"].split(b"\n")
        at = rng.randrange(len(lines))
        words = lines[at].split(b" ")
        words[rng.randrange(len(words))] = rng.choice(CUE_WORDS)
        lines[at] = b" ".join(words) if rng.random() < 0.8 else b""
        files["mode1.cue"] = b"\n".join(lines)
        return kind, files
    data = bytearray(files["mode1.bin"])
    sectors = len(data) // RAW
    if kind == "raw-flip":
        for _ in range(rng.randint(1, 8)):
            data[rng.randrange(len(data))] ^= 1 << rng.randrange(8)
    elif kind == "raw-frame":
        sector = rng.randrange(16, min(sectors, 60)) * RAW
        field = rng.choice([(0, 12), (12, 4), (2064, 4)])  # sync, header, EDC
        data[sector + field[0] + rng.randrange(field[1])] ^= 0xFF
    else:
        del data[rng.randrange(16 * RAW, len(data)):]
    files["mode1.bin"] = bytes(data)
    return kind, files


def mutate(image, rng, records):
    data = bytearray(image)
    kind = rng.choice(["record", "record", "record", "flip", "zero-sector", "absurd", "truncate",
                       "flip-data"] if records else
                      ["flip", "flip", "zero-sector", "absurd", "truncate", "flip-data"])
    end = metadata_end(image)
    if kind == "record":
        kind = damage_record(data, rng, records)
    elif kind == "flip":
        for _ in range(rng.randint(1, 16)):
            data[rng.randrange(16 * SECTOR, end)] ^= 1 << rng.randrange(8)
    elif kind == "zero-sector":
        start = rng.randrange(16, end // SECTOR) * SECTOR
        data[start:start + SECTOR] = bytes(SECTOR)
    elif kind == "absurd":
        at = rng.randrange(16 * SECTOR, end - 8)
        data[at:at + 4] = bytes([0xFF, 0xFF, 0xFF, rng.randrange(256)])
    elif kind == "truncate":
        del data[rng.randrange(16 * SECTOR, len(data)):]
    else:
        for _ in range(rng.randint(1, 8)):
            data[rng.randrange(end, len(data))] ^= 0xFF
    return kind, bytes(data)


def check(crclist, case, image, list_file, described):
    before = sorted(os.listdir(case))
    made = case / "made.INF"
    commands = [
        [crclist, "verify", "--image", str(image), "--keep-going"],
        [crclist, "verify", "--image", str(image), "--list", str(list_file)],
        [crclist, "lint", str(list_file), "--image", str(image)],
        [crclist, "make", "--image", str(image), "--drive-info", "x", "-o", str(made)],
    ]
    for command in commands:
        shown = f"{described}: {' '.join(command[1:])}"
        try:
            result = run(command, case)
        except subprocess.TimeoutExpired:
            return f"{shown}: no end within {PER_RUN_SECONDS} s"
        err = result.stderr.decode(errors="replace")
        if result.returncode not in EXIT_CODES or any(mark in err for mark in SANITIZER_MARKS):
            return f"{shown}: exit {result.returncode}\n{err}"
        if result.returncode == 2 and "crclist: " not in err:
            return f"{shown}: refused without a reason\n{err}"
    left = sorted(set(os.listdir(case)) - set(before) - {"made.INF"})
    if left:
        return f"{described}: left {left} beside make's output"
    if made.exists():
        made.unlink()
    return None


def main():
    crclist = os.path.abspath(sys.argv[1])
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 19
    budget = float(sys.argv[3]) if len(sys.argv) > 3 else 60
    rng = random.Random(seed)
    failures = []
    runs = 0
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        images, list_file = make_images(crclist, work)
        records = {name: folder_records(files[name]) for name, files in images.items()
                   if not name.endswith(".cue")}
        case = work / "case"
        case.mkdir()
        started = time.monotonic()
        while time.monotonic() - started < budget and len(failures) < 5:
            name = rng.choice(sorted(images))
            if name.endswith(".cue"):
                kind, damaged = mutate_cue(images[name], rng)
            else:
                kind, data = mutate(images[name][name], rng, records[name])
                damaged = {name: data}
            for file, data in damaged.items():
                (case / file).write_bytes(data)
            runs += 1
            failure = check(crclist, case, case / name, list_file, f"run {runs} ({name}, {kind})")
            if failure:
                failures.append(failure)
                for file in damaged:
                    shutil.copy(case / file, work.parent / f"crclist-mutation-{seed}-{runs}-{file}")
            for file in damaged:
                (case / file).unlink()
    print(f"seed {seed}: {runs} damaged images, {len(failures)} failed")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
