#!/usr/bin/env python3
"""Writes a UDF 2.60 image of a folder with pycdlib, names whole on the UDF side.

Usage: make-udf-image.py FOLDER OUT.iso bridge|udf-side|udf-alone
  bridge     every file in UDF, Joliet and ISO 9660 (ISO names cut to 8.3)
  udf-side   the files in UDF only; the ISO 9660 and Joliet side holds a README.TXT alone
  udf-alone  as udf-side, with the ISO 9660 descriptors taken out of the volume recognition
             sequence, so that nothing but UDF is left to read
"""

import io
import sys
from pathlib import Path

import pycdlib

SECTOR = 2048
README = b"This disc is read through its UDF file system.\r\n"


def iso_names(count):
    return f"F{count:07d}.DAT;1", f"D{count:07d}"


def add_tree(image, folder, on_iso):
    count = 0
    for path in sorted(folder.rglob("*")):
        udf = "/" + path.relative_to(folder).as_posix()
        count += 1
        file_name, folder_name = iso_names(count)
        if path.is_dir():
            iso = "/" + folder_name if on_iso else None
            image.add_directory(iso_path=iso, joliet_path=iso, udf_path=udf)
        else:
            data = path.read_bytes()
            iso = "/" + file_name if on_iso else None
            image.add_fp(io.BytesIO(data), len(data), iso_path=iso,
                         joliet_path=iso[:-2] if iso else None, udf_path=udf)
    # pycdlib places ISO 9660 folders flat; nested UDF folders need their parents first,
    # which rglob's sorted order gives.


def without_iso_descriptors(path):
    image = bytearray(path.read_bytes())
    descriptors = []
    sector = 16
    while image[sector * SECTOR + 1:sector * SECTOR + 6] in (b"CD001", b"BEA01", b"NSR02",
                                                            b"NSR03", b"TEA01"):
        descriptors.append(bytes(image[sector * SECTOR:(sector + 1) * SECTOR]))
        sector += 1
    kept = [d for d in descriptors if d[1:6] != b"CD001"]
    for index in range(len(descriptors)):
        block = kept[index] if index < len(kept) else bytes(SECTOR)
        image[(16 + index) * SECTOR:(17 + index) * SECTOR] = block
    path.write_bytes(image)


def main():
    folder, out, kind = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3]
    image = pycdlib.PyCdlib()
    image.new(interchange_level=3, joliet=3, udf="2.60")
    add_tree(image, folder, kind == "bridge")
    if kind != "bridge":
        image.add_fp(io.BytesIO(README), len(README), iso_path="/README.TXT;1",
                     joliet_path="/README.TXT")
    image.write(str(out))
    image.close()
    if kind == "udf-alone":
        without_iso_descriptors(out)


if __name__ == "__main__":
    main()
