"""The material of the scenarios: check lists, disc contents, installed files and registry values,
and the description of one scenario."""

import random
import zlib
from dataclasses import dataclass, field, replace

from expectations import cp932

# The system locales that rows run under; Wine's ANSI code page follows them: 932, 1252, 936.
JAPANESE, ENGLISH, CHINESE = "ja_JP.UTF-8", "en_US.UTF-8", "zh_CN.UTF-8"

TITLE = "検証 テスト版"
GAME_KEY = r"Software\DisksentryE2E\Game"
# Everything the scenarios write to the registry is under this key.
REGISTRY_ROOT = r"HKCU\Software\DisksentryE2E"
MESSAGE_LINES = ("ディスクとインストールされたファイルを調べます。", "調べる方を選んでください。")
# Only the first line is the drive dialog's prompt.
DRIVE_INFO = ("ゲームのディスクが入ったドライブを選んでください。", "二行目は使われません。")


class Zeros:
    """A file of zero bytes, written sparse: large without costing disk space or time to write."""

    def __init__(self, size):
        self.size = size

    def __len__(self):
        return self.size


def data(size, seed):
    return random.Random(seed).randbytes(size)


def crc32(content):
    if not isinstance(content, Zeros):
        return zlib.crc32(content)
    crc, chunk = 0, bytes(1 << 20)
    for start in range(0, content.size, len(chunk)):
        crc = zlib.crc32(chunk[:min(len(chunk), content.size - start)], crc)
    return crc


def write_file(path, content):
    path.parent.mkdir(parents=True, exist_ok=True)
    with open(path, "wb") as file:
        if isinstance(content, Zeros):
            file.truncate(content.size)
        else:
            file.write(content)


def flip_first_byte(content):
    return bytes([content[0] ^ 0xFF]) + content[1:]


# The disc: three files at its root (one with a CP932 name whose second byte is a backslash)
# and two under gamedata\, one of them in a subfolder.
CD_FILES = {
    "readme.txt": b"Disc for the end-to-end scenarios of Disksentry.\r\n",
    "setup.dat": data(20000, 1),
    "ソフト説明.txt": "このディスクはテスト用です。\r\n".encode("cp932"),
}
GAME_DATA = {
    "data1.bin": data(300000, 2),
    "stage\\map01.dat": data(5000, 3),
}

# The installed game, on a fixed drive of its own. The damaged copies stand beside the intact ones.
INSTALLED_DRIVE = "I"
INSTALLED = {
    "data1.bin": GAME_DATA["data1.bin"],
    "map01.dat": GAME_DATA["stage\\map01.dat"],
    "short.bin": GAME_DATA["stage\\map01.dat"][:-1],
    "altered.bin": flip_first_byte(GAME_DATA["stage\\map01.dat"]),
    # In a folder whose name CP932 cannot write, as a user folder may be.
    "Zoë\\exe.bin": GAME_DATA["data1.bin"],
}


def installed_path(name):
    return f"{INSTALLED_DRIVE}:\\{name}"


def disc(cd_files=None, game_data=None):
    """A disc's files by their place under the drive root, as the Unix folder holds them."""
    files = {name: content for name, content in (CD_FILES if cd_files is None else cd_files).items()}
    for name, content in (GAME_DATA if game_data is None else game_data).items():
        files["gamedata/" + name.replace("\\", "/")] = content
    return {name: content for name, content in files.items() if content is not None}


def disc_paths(letter, cd_names=tuple(CD_FILES), game_names=tuple(GAME_DATA)):
    """The paths a media run verifies on a drive, in order."""
    return [f"{letter}:\\{name}" for name in cd_names] + [f"{letter}:\\gamedata\\{name}" for name in game_names]


def entry_line(name, content):
    """A check list's entry for a file: its name, its size and its CRC-32, as CP932 bytes."""
    return f'"{name}",{len(content)},0x{crc32(content):08X}'.encode("cp932")


@dataclass(frozen=True)
class CheckList:
    """A crclist.INF; each entry is (name, expected content), whose size and CRC-32 it lists."""
    title: str = TITLE  # None: no TITLE section
    game: str = GAME_KEY  # empty: no GAME section
    reg: tuple = (("DataFile", INSTALLED["data1.bin"]), ("MapFile", INSTALLED["map01.dat"]))
    cd_files: tuple = tuple(CD_FILES.items())
    game_data: tuple = tuple(GAME_DATA.items())
    message: tuple = MESSAGE_LINES
    drive_info: tuple = DRIVE_INFO
    damage: tuple = ()  # (bytes, replacement): a change to the written list's bytes
    padding: bytes = b""  # after the last line end

    def render(self):
        lines = []
        if self.title is not None:
            lines += [b"[TITLE]", cp932(f'"{self.title}"')]
        if self.game:
            lines += [b"[GAME]", cp932(self.game)]
        for section, entries in (("REG", self.reg), ("CDFILES", self.cd_files), ("GAMEDATA", self.game_data)):
            if entries:
                lines.append(cp932(f"[{section}]"))
                lines += [entry_line(name, content) for name, content in entries]
        for section, values in (("MESSAGE", self.message), ("DRIVEINFO", self.drive_info)):
            if values:
                lines.append(cp932(f"[{section}]"))
                lines += [cp932(f'"{value}"') for value in values]
        text = b"\r\n".join(lines) + b"\r\n" + self.padding
        if self.damage:
            part, replacement = self.damage
            assert part in text, f"{part!r} is not in the check list"
            text = text.replace(part, replacement)
        return text

    def but(self, **changes):
        return replace(self, **changes)


STANDARD = CheckList()


@dataclass
class RegistryValue:
    data: object  # str for REG_SZ, bytes for REG_BINARY (which has no terminating NUL), int for REG_DWORD

    @property
    def kind(self):
        return {bytes: "REG_BINARY", int: "REG_DWORD"}.get(type(self.data), "REG_SZ")

    @property
    def text(self):
        return self.data.hex() if isinstance(self.data, bytes) else str(self.data)


INSTALLED_GAME = {"DataFile": RegistryValue(installed_path("data1.bin")),
                  "MapFile": RegistryValue(installed_path("map01.dat"))}


@dataclass
class Run:
    """One verification run: the paths it hands to verification, in order, and its total."""
    paths: list
    total: int


@dataclass
class Scenario:
    name: str
    steps: list
    exit_code: int
    checklist: CheckList = STANDARD  # None: no crclist.INF in the working folder
    registry: dict = None  # value name -> RegistryValue under the check list's game key; None: no key
    discs: dict = field(default_factory=lambda: {"E": disc(), "G": disc()})
    runs: list = field(default_factory=list)
    left_unread: tuple = None  # (path, size) of a file the run must give up before its end
    syscalls_traced: bool = False  # run under strace: no file written outside the Wine prefix
    held_file: str = None  # a path that another program holds open without sharing
    # drive letter -> Faults: the drive shows its disc through the fault file system
    faults: dict = field(default_factory=dict)
    locales: tuple = (JAPANESE, ENGLISH)


@dataclass
class Faults:
    """Reads of a disc that fail from a byte on, (name, offset) pairs, or stall once there,
    (name, offset, seconds) triples; names are the disc's, with forward slashes."""
    fail: list = field(default_factory=list)
    stall: list = field(default_factory=list)
