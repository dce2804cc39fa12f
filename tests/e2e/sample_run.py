#!/usr/bin/env python3
"""Disksentry on the sample disc under Wine. With a display it starts the program for you to work
by hand; without one it walks through the media check and the installed check on a virtual
display, prints every box and dialog it answers and saves a screenshot of each.

Usage: sample_run.py --program disksentry.exe --driver e2e_driver.exe --work FOLDER
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

from driver_session import DriverSession, Exited, IDOK
from expectations import CHECK_MEDIA, MODE_TEXT, PROMPT
from wine_session import REPOSITORY, VirtualDisplay, WineSession, display_reachable

DISC = REPOSITORY / "examples" / "sample-disc"
DISC_DRIVE = "e"
GAME_KEY = r"HKCU\Software\DisksentrySample\SampleGame"
# The sample's REG entries and the files on the disc that the installed copies come from.
INSTALLED_FILES = {"DataFile": "gamedata/data1.bin", "MapFile": "gamedata/stage/map01.dat"}
INSTALL_FOLDER = r"C:\Games\DisksentrySample"
# The dialogs' font, which Wine does not have, drawn with a Japanese font that Debian has.
DIALOG_FONT = "ＭＳ Ｐゴシック"
SUBSTITUTE_FONT = "IPAPGothic"


def prepare(wine, by_hand):
    """The disc as CD-ROM drive E:, the sample game installed under C:, the dialog font mapped,
    and window frames drawn by the desktop when there is one and by Wine otherwise."""
    wine.ensure_ready()
    wine.map_drive(DISC_DRIVE, DISC, "cdrom")
    install_folder = wine.prefix / "drive_c" / INSTALL_FOLDER[3:].replace("\\", "/")
    install_folder.mkdir(parents=True, exist_ok=True)
    wine.reg_create(GAME_KEY)
    for value_name, disc_path in INSTALLED_FILES.items():
        shutil.copyfile(DISC / disc_path, install_folder / Path(disc_path).name)
        wine.reg_add(GAME_KEY, value_name, INSTALL_FOLDER + "\\" + Path(disc_path).name)
    wine.reg_add(r"HKCU\Software\Wine\Fonts\Replacements", DIALOG_FONT, SUBSTITUTE_FONT)
    for setting in ("Managed", "Decorated"):
        wine.reg_add(r"HKCU\Software\Wine\X11 Driver", setting, "Y" if by_hand else "N")
    # The drive type is read when the wineserver starts.
    wine.stop_server()


def text(raw):
    return raw.decode("cp932", "replace")


def describe(window):
    """The caption and the text a person reads in the window."""
    shown = {"box": window.message, "mode": window.text_of(MODE_TEXT),
             "drive": window.text_of(PROMPT)}.get(window.kind) or b""
    return text(window.caption), text(shown)


def screenshot(display, window, path):
    """The window's part of the screen, once Wine has had a moment to draw it."""
    time.sleep(0.5)
    left, top, right, bottom = window.rect
    subprocess.run(["import", "-display", display, "-window", "root",
                    "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage", str(path)],
                   check=True, timeout=60)


def answer(session, window):
    """The media check on the first drive, then OK to everything, which runs the installed check."""
    if window.kind == "mode":
        session.press(window, CHECK_MEDIA)
        return "CD/DVDのチェック"
    if window.kind == "drive":
        session.choose_drive(window, 0)
        return text(window.items[0]) if window.items else "OK"
    session.press(window, IDOK)
    return "OK"


def walk_through(wine, display, program, driver, work):
    shots = work.resolve() / "screenshots"
    shutil.rmtree(shots, ignore_errors=True)
    shots.mkdir(parents=True)
    print(f"Disksentry on {DISC.relative_to(REPOSITORY)} (drive {DISC_DRIVE.upper()}:), installed copy in "
          f"{INSTALL_FOLDER}, on a virtual display:\n")
    with open(work / "wine.log", "w") as log, DriverSession(wine, driver, program, DISC, log) as session:
        number = 0
        while True:
            window = session.next()
            if isinstance(window, Exited):
                break
            number += 1
            path = shots / f"{number:02d}-{window.kind}.png"
            screenshot(display.name, window, path)
            caption, shown = describe(window)
            print(f"{number}. {window.kind} \"{caption}\"")
            for line in shown.rstrip("\n").split("\n"):
                print(f"   {line}")
            print(f"   -> {answer(session, window)}    ({path.relative_to(REPOSITORY)})\n")
    print(f"exit code {window.code}")
    print(f"screenshots: {shots.relative_to(REPOSITORY)}/")
    return 0


def run_by_hand(wine, program):
    print(f"Disksentry is on your display; the sample disc is drive {DISC_DRIVE.upper()}:.")
    code, _ = wine.run(wine.windows_path(program), folder=DISC, timeout=None)
    print(f"exit code {code}")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, type=Path)
    parser.add_argument("--driver", required=True, type=Path)
    parser.add_argument("--work", required=True, type=Path)
    arguments = parser.parse_args()
    by_hand = display_reachable(os.environ.get("DISPLAY", ""))
    with VirtualDisplay(use_existing=by_hand) as display:
        wine = WineSession(arguments.work / "wineprefix", display.name)
        try:
            prepare(wine, by_hand)
            if by_hand:
                return run_by_hand(wine, arguments.program)
            return walk_through(wine, display, arguments.program, arguments.driver, arguments.work)
        finally:
            wine.stop_server()


if __name__ == "__main__":
    sys.exit(main())
