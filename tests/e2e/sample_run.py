#!/usr/bin/env python3
"""Disksentry on a copy of the sample disc under Wine, with a large file added to it. With a display
it starts the program for you to work by hand; without one it walks, on a virtual display, through
the media check (showing the progress dialog in the middle of the large file) and the installed
check, then the media check of a damaged copy, then the first dialog at 144 DPI, prints every box
and dialog it answers and saves a screenshot of each.

Usage: [DISKSENTRY_LOCALE=en_US.UTF-8] sample_run.py --program disksentry.exe --driver e2e_driver.exe
       --work FOLDER
The system locale, and with it Wine's ANSI code page, is Japanese unless DISKSENTRY_LOCALE says
otherwise.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

from driver_session import DriverSession, Exited, IDOK
from expectations import CHECK_MEDIA, MODE_TEXT, PROMPT, STATUS
from fixtures import JAPANESE, Zeros, crc32, flip_first_byte, write_file
from wine_session import REPOSITORY, VirtualDisplay, WineSession, display_reachable

DISC = REPOSITORY / "examples" / "sample-disc"
DISC_DRIVE = "e"
# Added to the copies of the disc and their check lists, so that the progress dialog stays on one
# file for seconds: zeros, written sparse.
LARGE_FILE = "opening.mpg"
LARGE = Zeros(256 << 20)
# The damaged copy has one byte of this file changed; the run comes to it before the large file.
DAMAGED_FILE = "setup.dat"
GAME_KEY = r"HKCU\Software\DisksentrySample\SampleGame"
# The sample's REG entries and the files on the disc that the installed copies come from.
INSTALLED_FILES = {"DataFile": "gamedata/data1.bin", "MapFile": "gamedata/stage/map01.dat"}
INSTALL_FOLDER = r"C:\Games\DisksentrySample"
# The dialogs' font, which Wine does not have, drawn with a Japanese font that Debian has.
DIALOG_FONT = "ＭＳ Ｐゴシック"
SUBSTITUTE_FONT = "IPAPGothic"
# Wine draws captions itself, with Tahoma under a locale other than Japanese: Japanese glyphs
# missing from it are taken from the substitute, as Windows links fonts for them.
CAPTION_FONT = "Tahoma"
CAPTION_FONT_LINK = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink"
# The glyphs of the caption buttons: Debian's Wine ships the font but the prefix does not find it.
BUTTON_GLYPHS_FONT = Path("/usr/share/wine/fonts/marlett.ttf")
# The screen's dots per inch as Wine reads them: 96 is 100 %, 144 is 150 %.
DPI_KEY, DPI_VALUE = r"HKCU\Control Panel\Desktop", "LogPixels"
HIGH_DPI = 144
# The large file takes seconds under Wine, minutes on a busy machine.
WINDOW_WAIT_MS = 600000


def copy_disc(folder, damaged=False):
    """The sample disc with the large file added to its files and its check list, and with one
    byte of DAMAGED_FILE changed if damaged."""
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(DISC, folder)
    write_file(folder / LARGE_FILE, LARGE)
    listing = folder / "crclist.INF"
    entry = f"{LARGE_FILE},{len(LARGE)},0x{crc32(LARGE):08X}\r\n\r\n".encode("ascii")
    listing.write_bytes(listing.read_bytes().replace(b"[GAMEDATA]", entry + b"[GAMEDATA]", 1))
    if damaged:
        damaged_file = folder / DAMAGED_FILE
        damaged_file.write_bytes(flip_first_byte(damaged_file.read_bytes()))
    return folder


def prepare(wine, disc, by_hand):
    """The disc as CD-ROM drive E:, the sample game installed under C:, the dialog font mapped, the
    caption buttons' font installed, the screen at 96 DPI, and window frames drawn by the desktop when there is one and by Wine
    otherwise."""
    wine.ensure_ready()
    wine.map_drive(DISC_DRIVE, disc, "cdrom")
    install_folder = wine.prefix / "drive_c" / INSTALL_FOLDER[3:].replace("\\", "/")
    install_folder.mkdir(parents=True, exist_ok=True)
    wine.reg_create(GAME_KEY)
    for value_name, disc_path in INSTALLED_FILES.items():
        shutil.copyfile(DISC / disc_path, install_folder / Path(disc_path).name)
        wine.reg_add(GAME_KEY, value_name, INSTALL_FOLDER + "\\" + Path(disc_path).name)
    wine.reg_add(r"HKCU\Software\Wine\Fonts\Replacements", DIALOG_FONT, SUBSTITUTE_FONT)
    wine.reg_add(CAPTION_FONT_LINK, CAPTION_FONT, f"ipagp.ttf,{SUBSTITUTE_FONT}", "REG_MULTI_SZ")
    shutil.copy(BUTTON_GLYPHS_FONT, wine.prefix / "drive_c" / "windows" / "Fonts")
    for setting in ("Managed", "Decorated"):
        wine.reg_add(r"HKCU\Software\Wine\X11 Driver", setting, "Y" if by_hand else "N")
    wine.reg_add(DPI_KEY, DPI_VALUE, "96", "REG_DWORD")
    # The drive type is read when the wineserver starts.
    wine.stop_server()


def text(raw):
    return raw.decode("cp932", "replace")


def describe(window):
    """The caption and the text a person reads in the window."""
    shown = {"box": window.message, "mode": window.text_of(MODE_TEXT), "drive": window.text_of(PROMPT),
             "progress": window.text_of(STATUS)}.get(window.kind) or b""
    return text(window.caption), text(shown)


def screenshot(display, window, path):
    """The window's part of the screen, once Wine has had a moment to draw it."""
    time.sleep(0.5)
    left, top, right, bottom = window.rect
    subprocess.run(["import", "-display", display, "-window", "root",
                    "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage", str(path)],
                   check=True, timeout=60)


def answer_all(session, window):
    """The media check on the first drive, then OK to everything, which runs the installed check."""
    if window.kind == "mode":
        session.press(window, CHECK_MEDIA)
        return "CD/DVDのチェック"
    if window.kind == "drive":
        session.choose_drive(window, 0)
        return text(window.items[0]) if window.items else "OK"
    session.press(window, IDOK)
    return "OK"


def close(session, window):
    session.close(window)
    return "close box"


def await_large_file(session):
    """The progress dialog once it shows the large file; the program reads on meanwhile."""
    window = session.await_progress()
    while not window.text_of(STATUS).endswith(LARGE_FILE.encode("ascii")):
        window = session.await_progress()
    return window


class WalkThrough:
    """Prints each window it is shown, with its screenshot, numbered across the program's runs."""

    def __init__(self, display, shots):
        self.display = display
        self.shots = shots
        self.number = 0

    def show(self, window, answer):
        """Takes the screenshot, then gives the answer (a function of no arguments, or None for a
        window that needs none)."""
        self.number += 1
        path = self.shots / f"{self.number:02d}-{window.kind}.png"
        screenshot(self.display, window, path)
        answer = answer() if answer else "(reads on)"
        caption, shown = describe(window)
        print(f"{self.number}. {window.kind} \"{caption}\"")
        for line in shown.rstrip("\n").split("\n"):
            print(f"   {line}")
        print(f"   -> {answer}    ({path.relative_to(REPOSITORY)})\n")

    def run(self, wine, program, driver, disc, log, answer, large_file_shown=False):
        """One run of the program from the disc's root to its end; gives its exit code."""
        with DriverSession(wine, driver, program, disc, log) as session:
            while True:
                window = session.next(WINDOW_WAIT_MS)
                if isinstance(window, Exited):
                    print(f"exit code {window.code}\n")
                    return window.code
                self.show(window, lambda: answer(session, window))
                if window.kind == "drive" and large_file_shown:
                    self.show(await_large_file(session), None)


def walk_through(wine, display, program, driver, work, disc):
    shots = work.resolve() / "screenshots"
    shutil.rmtree(shots, ignore_errors=True)
    shots.mkdir(parents=True)
    walk = WalkThrough(display.name, shots)
    with open(work / "wine.log", "w") as log:
        print(f"Disksentry on a copy of {DISC.relative_to(REPOSITORY)} with {LARGE_FILE} "
              f"({len(LARGE) >> 20} MiB) added (drive {DISC_DRIVE.upper()}:), installed copy in "
              f"{INSTALL_FOLDER}, on a virtual display, under the locale {wine.locale}:\n")
        walk.run(wine, program, driver, disc, log, answer_all, large_file_shown=True)

        damaged = copy_disc(work / "damaged-disc", damaged=True)
        wine.point_drive(DISC_DRIVE, damaged)
        print(f"The same on a copy whose {DAMAGED_FILE} has one byte changed:\n")
        walk.run(wine, program, driver, damaged, log, answer_all)

        wine.reg_add(DPI_KEY, DPI_VALUE, str(HIGH_DPI), "REG_DWORD")
        wine.stop_server()
        print(f"The first dialog with the screen at {HIGH_DPI} DPI ({HIGH_DPI * 100 // 96} %):\n")
        walk.run(wine, program, driver, disc, log, close)
    print(f"screenshots: {shots.relative_to(REPOSITORY)}/")
    return 0


def run_by_hand(wine, program, disc):
    print(f"Disksentry is on your display; the copy of the sample disc is drive {DISC_DRIVE.upper()}:.")
    code, _ = wine.run(wine.windows_path(program), folder=disc, timeout=None)
    print(f"exit code {code}")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, type=Path)
    parser.add_argument("--driver", required=True, type=Path)
    parser.add_argument("--work", required=True, type=Path)
    arguments = parser.parse_args()
    by_hand = display_reachable(os.environ.get("DISPLAY", ""))
    disc = copy_disc(arguments.work / "disc")
    with VirtualDisplay(use_existing=by_hand) as display:
        wine = WineSession(arguments.work / "wineprefix", display.name,
                           os.environ.get("DISKSENTRY_LOCALE", JAPANESE))
        try:
            prepare(wine, disc, by_hand)
            if by_hand:
                return run_by_hand(wine, arguments.program, disc)
            return walk_through(wine, display, arguments.program, arguments.driver, arguments.work, disc)
        finally:
            wine.stop_server()


if __name__ == "__main__":
    sys.exit(main())
