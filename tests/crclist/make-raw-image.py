#!/usr/bin/env python3
"""Frames a plain ISO image (2048-byte sectors) as a raw CD image, so that the tests make their
own cue/bin, CloneCD and Alcohol images, each sector with its sync, header, EDC and ECC; or
damages one raw sector of such an image in place.

Usage:
  make-raw-image.py cue ISO OUT.cue [--mode 1|2] [--start LBA] [--audio SECTORS] [--split]
                    [--pregap]
  make-raw-image.py cue2048 ISO OUT.cue
  make-raw-image.py ccd ISO OUT.ccd [--no-sub] [--audio SECTORS]
  make-raw-image.py mds ISO OUT.mds [--dvd]
  make-raw-image.py damage FILE --sector LBA --what edc|sync|header|data [--start LBA]
                    [--sector-size 2352]
  make-raw-image.py selftest

Every output file is written next to OUT and named from its stem. cue, cue2048, ccd and mds
print "data-start LBA", the disc address of the data track's first sector.
"""

import argparse
import os
import shutil
import struct
import sys

RAW = 2352
USER = 2048
LEAD = 150                 # the two seconds before LBA 0 that no image stores
BATCH = 1024               # sectors framed at once: the column work is shared by all of them
SYNC = b"\x00" + b"\xff" * 10 + b"\x00"
SUBHEADER = b"\x00\x00\x08\x00" * 2          # Mode 2 Form 1, data
AUDIO = bytes((i * 37 + 11) & 0xFF for i in range(RAW))   # never looks like a sync


# ---- addresses --------------------------------------------------------------------------

def split(frames):
    """Minute, second, frame of a count of sectors (75 a second)."""
    if not 0 <= frames < 100 * 60 * 75:
        sys.exit(f"LBA {frames - LEAD} has no address on a CD (00:00:00 to 99:59:74)")
    return frames // 4500, frames // 75 % 60, frames % 75


def msf(lba):
    return split(lba + LEAD)                    # LBA 0 is 00:02:00


def msf_text(frames):
    return "%02d:%02d:%02d" % split(frames)


def bcd(n):
    return (n // 10) << 4 | n % 10


# ---- GF(2^8) with x^8+x^4+x^3+x^2+1; a multiplication by a constant is a translate table --

EXP = [0] * 510
LOG = [0] * 256
_x = 1
for _i in range(255):
    EXP[_i] = EXP[_i + 255] = _x
    LOG[_x] = _i
    _x = (_x << 1) ^ (0x11D if _x & 0x80 else 0)


def times(c):
    return bytes(EXP[LOG[c] + LOG[v]] if v else 0 for v in range(256))


ALPHA = [times(EXP[i]) for i in range(45)]             # ALPHA[i] multiplies by alpha^i
OVER_1_PLUS_ALPHA = times(EXP[255 - LOG[1 ^ 2]])


# ---- EDC: CRC with (x^16+x^15+x^2+1)(x^16+x^2+x+1), reflected, init 0, no final xor -------

EDC_TABLE = []
for _v in range(256):
    for _ in range(8):
        _v = (_v >> 1) ^ (0xD8018001 if _v & 1 else 0)
    EDC_TABLE.append(_v)


def edc(data):
    crc = 0
    for b in data:
        crc = EDC_TABLE[(crc ^ b) & 0xFF] ^ (crc >> 8)
    return crc


def edc_lanes(length):
    """For each byte position of a LENGTH-byte EDC range, four translate tables giving the
    bytes of its contribution: the CRC is linear, so the EDC is the xor of them all."""
    lanes = [None] * length
    part = EDC_TABLE[:]                         # a byte at the last position
    for j in range(length - 1, -1, -1):
        packed = struct.pack("<256I", *part)
        lanes[j] = [packed[k::4] for k in range(4)]
        part = [EDC_TABLE[p & 0xFF] ^ (p >> 8) for p in part]   # one zero byte after it
    return lanes


# ---- framing: every operation works on a column, one byte position of all sectors ---------

class Framer:
    """Frames batches of 2048-byte sectors as Mode 1 or Mode 2 Form 1 raw sectors."""

    def __init__(self, mode):
        self.mode = mode
        self.user_at = 16 if mode == 1 else 24
        self.edc_from = 0 if mode == 1 else 16
        self.edc_at = self.user_at + USER
        self.lanes = edc_lanes(self.edc_at - self.edc_from)

    def frame(self, user, lba):
        n = len(user) // USER
        raw = bytearray(n * RAW)
        for i in range(n):
            at = i * RAW
            m, s, f = msf(lba + i)
            raw[at:at + 16] = SYNC + bytes((bcd(m), bcd(s), bcd(f), self.mode))
            if self.mode == 2:
                raw[at + 16:at + 24] = SUBHEADER
            raw[at + self.user_at:at + self.user_at + USER] = user[i * USER:(i + 1) * USER]
        columns = {j: raw[j::RAW] for j in range(self.edc_at)}
        self.put_edc(raw, columns, n)
        if self.mode == 2:             # the header is taken as zero for Mode 2's ECC
            for j in range(12, 16):
                del columns[j]
        self.put_parity(raw, columns, n, P_CODES, 1032)
        self.put_parity(raw, columns, n, Q_CODES, 1118)
        return raw

    def put_edc(self, raw, columns, n):
        acc = [0, 0, 0, 0]
        for j in range(self.edc_from, self.edc_at):
            column = columns[j]
            for k, table in enumerate(self.lanes[j - self.edc_from]):
                acc[k] ^= int.from_bytes(column.translate(table), "little")
        for k in range(4):
            raw[self.edc_at + k::RAW] = columns[self.edc_at + k] = acc[k].to_bytes(n, "little")

    @staticmethod
    def put_parity(raw, columns, n, codes, first_word):
        """Each code word of K symbols gets parity p0, p1 such that, with S0 the sum of the
        symbols and S1 their sum weighted alpha^(K+1)..alpha^2: p0+p1 = S0, alpha*p0+p1 = S1."""
        for plane in (0, 1):
            for c, words in enumerate(codes):
                s0 = s1 = 0
                weight = len(words) + 1
                for w in words:
                    column = columns.get(12 + 2 * w + plane)
                    if column is not None:
                        s0 ^= int.from_bytes(column, "little")
                        s1 ^= int.from_bytes(column.translate(ALPHA[weight]), "little")
                    weight -= 1
                p0 = (s0 ^ s1).to_bytes(n, "little").translate(OVER_1_PLUS_ALPHA)
                p1 = (s0 ^ int.from_bytes(p0, "little")).to_bytes(n, "little")
                for word, value in ((first_word + c, p0), (first_word + len(codes) + c, p1)):
                    raw[12 + 2 * word + plane::RAW] = columns[12 + 2 * word + plane] = value


# The sector from byte 12 is a list of 16-bit words, each byte of a word in its own plane.
# P code words are the 43 columns of a 24x43 matrix of words; Q code words the 26 diagonals
# of the 26x43 matrix that the P parity completes.
P_CODES = [[43 * row + column for row in range(24)] for column in range(43)]
Q_CODES = [[(44 * m + 43 * d) % 1118 for m in range(43)] for d in range(26)]


# ---- writing tracks -----------------------------------------------------------------------

def iso_sectors(iso):
    size = os.path.getsize(iso)
    if size % USER:
        sys.exit(f"{iso}: size {size} is not a multiple of {USER}")
    return size // USER


def data_sectors(iso, start, cd=True):
    """Sectors of the ISO, once sure that the whole track has CD addresses."""
    sectors = iso_sectors(iso)
    if cd:
        msf(start + sectors - 1)
    return sectors


def write_data(iso, out, lba, mode):
    framer = Framer(mode)
    with open(iso, "rb") as source:
        while True:
            user = source.read(BATCH * USER)
            if not user:
                return
            out.write(framer.frame(user, lba))
            lba += len(user) // USER


def write_audio(out, sectors):
    for _ in range(sectors):
        out.write(AUDIO)


def stem(path):
    return os.path.splitext(path)[0]


def name(path):
    return os.fsencode(os.path.basename(path))


# ---- cue sheets ---------------------------------------------------------------------------

def make_cue(args):
    base = stem(args.out)
    audio = args.audio or 0
    start = args.start if args.start is not None else audio + (LEAD if args.pregap else 0)
    data_sectors(args.iso, start)
    kind = b"MODE1/2352" if args.mode == 1 else b"MODE2/2352"
    tracks = ([(b"AUDIO", audio)] if audio else []) + [(kind, None)]
    if args.split:
        bins = [base + "-%02d.bin" % (i + 1) for i in range(len(tracks))]
    else:
        bins = [base + ".bin"] * len(tracks)
    for i, (_, sectors) in enumerate(tracks):
        with open(bins[i], "ab" if i and not args.split else "wb") as out:
            if sectors is None:
                write_data(args.iso, out, start, args.mode)
            else:
                write_audio(out, sectors)
    lines = []
    for i, (track_kind, _) in enumerate(tracks):
        if i == 0 or args.split:
            lines.append(b'FILE "%s" BINARY' % name(bins[i]))
        lines.append(b"  TRACK %02d %s" % (i + 1, track_kind))
        if track_kind != b"AUDIO" and args.pregap:
            lines.append(b"    PREGAP 00:02:00")
        offset = 0 if args.split or track_kind == b"AUDIO" else audio
        lines.append(b"    INDEX 01 %s" % msf_text(offset).encode())
    with open(args.out, "wb") as cue:
        cue.write(b"\r\n".join(lines) + b"\r\n")
    return start


def make_cue2048(args):
    iso = stem(args.out) + ".iso"
    if not (os.path.exists(iso) and os.path.samefile(iso, args.iso)):
        shutil.copyfile(args.iso, iso)
    with open(args.out, "wb") as cue:
        cue.write(b'FILE "%s" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n'
                  % name(iso))
    return 0


# ---- CloneCD ------------------------------------------------------------------------------

CRC16_TABLE = []
for _v in range(256):
    _v <<= 8
    for _ in range(8):
        _v = ((_v << 1) ^ (0x1021 if _v & 0x8000 else 0)) & 0xFFFF
    CRC16_TABLE.append(_v)


def q_subchannel(control, track, lba, track_start):
    """96 bytes: P (zero), Q (mode-1 position with its inverted CRC-16), R..W (zero)."""
    rel = split(lba - track_start)
    q = bytes((control << 4 | 1, bcd(track), 1, *map(bcd, rel), 0, *map(bcd, msf(lba))))
    crc = 0
    for b in q:
        crc = CRC16_TABLE[(crc >> 8) ^ b] ^ ((crc << 8) & 0xFFFF)
    return bytes(12) + q + struct.pack(">H", crc ^ 0xFFFF) + bytes(72)


def ccd_entry(index, point, control, pmsf, plba):
    return ("[Entry %d]\nSession=1\nPoint=0x%02x\nADR=0x01\nControl=0x%02x\nTrackNo=0\n"
            "AMin=0\nASec=0\nAFrame=0\nALBA=-150\nZero=0\nPMin=%d\nPSec=%d\nPFrame=%d\n"
            "PLBA=%d\n" % (index, point, control, *pmsf, plba))


def make_ccd(args):
    base = stem(args.out)
    audio = args.audio or 0
    data = data_sectors(args.iso, audio)
    tracks = ([(1, 0, 0, audio)] if audio else []) + [(1 + bool(audio), 4, audio, data)]
    with open(base + ".img", "wb") as img:
        if audio:
            write_audio(img, audio)
        write_data(args.iso, img, audio, 1)
    if not args.no_sub:
        with open(base + ".sub", "wb") as sub:
            for number, control, start, sectors in tracks:
                for lba in range(start, start + sectors):
                    sub.write(q_subchannel(control, number, lba, start))
    last = tracks[-1][0]
    end = audio + data
    text = ("[CloneCD]\nVersion=3\n[Disc]\nTocEntries=%d\nSessions=1\nDataTracksScrambled=0\n"
            "CDTextLength=0\n[Session 1]\nPreGapMode=1\nPreGapSubC=0\n" % (3 + len(tracks)))
    text += ccd_entry(0, 0xA0, tracks[0][1], (1, 0, 0), 1 * 4500 - LEAD)
    text += ccd_entry(1, 0xA1, tracks[-1][1], (last, 0, 0), last * 4500 - LEAD)
    text += ccd_entry(2, 0xA2, tracks[-1][1], msf(end), end)
    for i, (number, control, start, _) in enumerate(tracks):
        text += ccd_entry(3 + i, number, control, msf(start), start)
    for number, control, start, _ in tracks:
        text += "[TRACK %d]\nMODE=%d\nINDEX 1=%d\n" % (number, 1 if control else 0, start)
    with open(args.out, "wb") as ccd:
        ccd.write(text.replace("\n", "\r\n").encode())
    return audio


# ---- Alcohol 120% -------------------------------------------------------------------------

def make_mds(args):
    sectors = data_sectors(args.iso, 0, not args.dvd)
    with open(stem(args.out) + ".mdf", "wb") as mdf:
        if args.dvd:
            with open(args.iso, "rb") as iso:
                shutil.copyfileobj(iso, mdf)
        else:
            write_data(args.iso, mdf, 0, 1)
    lead_in = 0 if args.dvd else 3
    blocks = lead_in + 1
    extra_at = 0x70 + 0x50 * blocks
    names_at = extra_at + 8
    mds = bytearray(names_at + 16)
    mds[0:18] = b"MEDIA DESCRIPTOR\x01\x05"
    struct.pack_into("<HHI", mds, 0x12, 0x10 if args.dvd else 0, 1, 2)
    struct.pack_into("<II", mds, 0x50, 0x58, 0)
    struct.pack_into("<iiHBBHHII", mds, 0x58, 0 if args.dvd else -LEAD, sectors, 1, blocks,
                     lead_in, 1, 1, 0, 0x70)
    if not args.dvd:
        for i, (point, where) in enumerate(((0xA0, (1, 0, 0)), (0xA1, (1, 0, 0)),
                                            (0xA2, msf(sectors)))):
            struct.pack_into("<BBBBB4xBBB", mds, 0x70 + 0x50 * i, 0, 0, 0x14, 0, point, *where)
    track = 0x70 + 0x50 * lead_in
    struct.pack_into("<BBBBB4xBBBIHB", mds, track, 0x02 if args.dvd else 0xAA, 0, 0x14, 0, 1,
                     *((0, 0, 0) if args.dvd else msf(0)), extra_at,
                     USER if args.dvd else RAW, 2)
    struct.pack_into("<IQII", mds, track + 0x24, 0, 0, 1, names_at)
    struct.pack_into("<II", mds, extra_at, 0 if args.dvd else LEAD, sectors)
    struct.pack_into("<IB", mds, names_at, names_at + 16, 0)
    with open(args.out, "wb") as out:
        out.write(mds + b"*.mdf\x00")
    return 0


# ---- damage -------------------------------------------------------------------------------

def make_damage(args):
    with open(args.file, "r+b") as image:
        at = (args.sector - args.start) * args.sector_size
        image.seek(max(at, 0))
        sector = image.read(args.sector_size)
        if len(sector) != args.sector_size or at < 0:
            sys.exit(f"{args.file}: no sector at LBA {args.sector}")
        raw = args.sector_size >= RAW
        if not raw and args.what != "data":
            sys.exit(f"a {args.sector_size}-byte sector has no {args.what}")
        mode = sector[15] if raw else 1
        user_at = 0 if not raw else 16 if mode == 1 else 24
        form2 = mode == 2 and sector[18] & 0x20
        offset, flip = {"sync": (5, 0xFF),
                        "header": (12, 0x10),     # still a BCD minute, but another address
                        "edc": (2348 if form2 else 2064 if mode == 1 else 2072, 0xFF),
                        "data": (user_at + 1000, 0xFF)}[args.what]
        image.seek(at + offset)
        image.write(bytes((sector[offset] ^ flip,)))


# ---- self-test ----------------------------------------------------------------------------

def syndromes_zero(sector, mode):
    """The parity-check equations of every P and Q code word hold."""
    region = bytearray(sector[12:2248 + 104])
    if mode == 2:
        region[0:4] = bytes(4)
    for codes, first in ((P_CODES, 1032), (Q_CODES, 1118)):
        for plane in (0, 1):
            for c, words in enumerate(codes):
                full = words + [first + c, first + len(codes) + c]
                s0 = s1 = 0
                for i, w in enumerate(full):
                    v = region[2 * w + plane]
                    s0 ^= v
                    s1 ^= EXP[LOG[v] + len(full) - 1 - i] if v else 0
                if s0 or s1:
                    return False
    return True


def selftest(_args):
    user = bytes(USER) + bytes((i * 7 + i // 256) & 0xFF for i in range(USER))
    for mode in (1, 2):
        raw = Framer(mode).frame(user, 0)
        for sector in (raw[:RAW], raw[RAW:]):
            edc_end = 2068 if mode == 1 else 2076
            ok = edc(sector[0 if mode == 1 else 16:edc_end]) == 0 and \
                syndromes_zero(sector, mode)
            print(f"mode {mode}: {'ok' if ok else 'FAILED'}")
            if not ok:
                sys.exit(1)
    return None


# ---- command line -------------------------------------------------------------------------

def parse(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    cue = commands.add_parser("cue")
    cue.add_argument("--mode", type=int, choices=(1, 2), default=1)
    cue.add_argument("--start", type=int)
    cue.add_argument("--audio", type=int)
    cue.add_argument("--split", action="store_true")
    cue.add_argument("--pregap", action="store_true")
    cue2048 = commands.add_parser("cue2048")
    ccd = commands.add_parser("ccd")
    ccd.add_argument("--no-sub", action="store_true")
    ccd.add_argument("--audio", type=int)
    mds = commands.add_parser("mds")
    mds.add_argument("--dvd", action="store_true")
    for sub in (cue, cue2048, ccd, mds):
        sub.add_argument("iso")
        sub.add_argument("out")
    damage = commands.add_parser("damage")
    damage.add_argument("file")
    damage.add_argument("--sector", type=int, required=True)
    damage.add_argument("--what", choices=("edc", "sync", "header", "data"), required=True)
    damage.add_argument("--start", type=int, default=0)
    damage.add_argument("--sector-size", type=int, default=RAW)
    commands.add_parser("selftest")
    args = parser.parse_args(argv)
    if getattr(args, "audio", None) is not None and args.audio < 1:
        parser.error("--audio needs at least one sector")
    return args


def main(argv):
    args = parse(argv)
    command = {"cue": make_cue, "cue2048": make_cue2048, "ccd": make_ccd, "mds": make_mds,
               "damage": make_damage, "selftest": selftest}[args.command]
    try:
        if hasattr(args, "iso"):
            iso_sectors(args.iso)
        start = command(args)
    except OSError as error:
        sys.exit(f"make-raw-image.py: {error}")
    if start is not None:
        print(f"data-start {start}")


if __name__ == "__main__":
    main(sys.argv[1:])
