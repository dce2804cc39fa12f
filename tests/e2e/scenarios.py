#!/usr/bin/env python3
"""End-to-end scenarios of the real disksentry.exe under Wine, one row each: the check list, the
discs, the registry, the dialogs and boxes the program must show with the answer to each, the files
it must verify and its exit code.

Usage: scenarios.py --program disksentry.exe --driver e2e_driver.exe --work FOLDER [NAME...]
"""

import argparse
import signal
import sys
import time
from pathlib import Path

from expectations import (CANCEL, DRIVE_INFO_WRONG, ENTRY_UNRESOLVED, ERROR, FILE_DAMAGED, FILES,
                          INFORMATION, INSTALLED_INTACT, LOAD_FAILED, MEDIA, MEDIA_FILE_FAILED,
                          MEDIA_INTACT, NOT_INSTALLED, OK, OK_CANCEL_INFORMATION, OK_CANCEL_QUESTION,
                          OPEN_FAILED, PROCESSING, QUESTION, QUIT_QUESTION, SIZE_DIFFERS, TEMPLATES,
                          TOOL_NAME, Box, Choose, Close, DriveDialog, Expect, ModeDialog,
                          ProgressDialog, Quit, Resize, StartSecond, DuringFile, STOP_BUTTON, cp932,
                          file_count)
from fixtures import (CD_FILES, CHINESE, DRIVE_INFO, ENGLISH, GAME_DATA, INSTALLED, INSTALLED_GAME, JAPANESE,
                      MESSAGE_LINES,
                      STANDARD, TITLE, Faults, RegistryValue, Run, Scenario, Zeros, disc, disc_paths,
                      entry_line, flip_first_byte, installed_path)
from runner import ScenarioRunner, prepare_prefix, unavailable
from wine_session import VirtualDisplay, WineSession

CAPTION = cp932(TITLE)
MODE = ModeDialog(text=cp932("".join(line + "\n" for line in MESSAGE_LINES)), caption=CAPTION)
# D: and I: are fixed drives and Z: is a CD-ROM beyond the letters looked at.
DRIVES = DriveDialog(prompt=cp932(DRIVE_INFO[0]), caption=CAPTION, drives=[b"E:\\", b"G:\\"])
ASK = Box(QUESTION, CAPTION, "none", OK_CANCEL_INFORMATION)


def information(text):
    return Box(text, CAPTION, "none", INFORMATION)


def open_failed(path):
    return Box(cp932(path) + OPEN_FAILED, None, "none", ERROR)


def size_differs(path):
    return Box(cp932(path) + SIZE_DIFFERS, None, "none", ERROR)


def media_failed(path):
    return Box(MEDIA_FILE_FAILED + cp932(path), CAPTION, "progress", ERROR)


def damaged(path):
    return Box(FILE_DAMAGED + cp932(path), CAPTION, "progress", ERROR)


def unresolved(name):
    return Box(ENTRY_UNRESOLVED + cp932(name), TOOL_NAME, "none", ERROR)


MEDIA_RUN = Run(disc_paths("E"), 5)
# A list that does not load: the box, and the program ends with nothing verified.
LOAD_FAILURE = dict(steps=[Expect(Box(LOAD_FAILED, None, "none", ERROR), (OK,))], exit_code=0)
# The second CDFILES entry, where the scenarios damage a list.
SETUP_ENTRY = entry_line("setup.dat", CD_FILES["setup.dat"])
INSTALLED_RUN = Run([installed_path("data1.bin"), installed_path("map01.dat")], 2)
THROUGH_MEDIA = [Expect(MODE, (MEDIA,)), Expect(DRIVES, (Choose(0),))]


def damaged_second_entry(file_name, boxes):
    """Installed mode with three REG entries whose second points to file_name."""
    path = installed_path(file_name)
    return dict(
        checklist=STANDARD.but(reg=(("DataFile", INSTALLED["data1.bin"]), ("Broken", INSTALLED["map01.dat"]),
                                    ("MapFile", INSTALLED["map01.dat"]))),
        registry={**INSTALLED_GAME, "Broken": RegistryValue(path)},
        steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,))] + [Expect(box(path), (OK,)) for box in boxes],
        exit_code=0,
        runs=[Run([installed_path("data1.bin"), path], 3)])


def damaged_disc_file(content, boxes):
    """Media mode with setup.dat, the second of five, replaced by content (None: missing)."""
    path = "E:\\setup.dat"
    return dict(
        discs={"E": disc(cd_files={**CD_FILES, "setup.dat": content}), "G": disc()},
        steps=THROUGH_MEDIA + [Expect(box(path), (OK,)) for box in boxes],
        exit_code=0,
        runs=[Run(disc_paths("E")[:2], 5)])


# Large enough that the run is still reading it seconds after the progress dialog showed it.
LARGE = Zeros(256 << 20)
LARGE_FIRST = dict(
    checklist=STANDARD.but(cd_files=(("large.bin", LARGE), ("readme.txt", CD_FILES["readme.txt"])), game_data=()),
    discs={"E": {"large.bin": LARGE, "readme.txt": CD_FILES["readme.txt"]}},
    runs=[Run(["E:\\large.bin"], 2)],
    left_unread=("E:\\large.bin", len(LARGE)))
READING_LARGE = ProgressDialog(CAPTION, PROCESSING + b"\nE:\\large.bin", file_count(1, 2))
QUIT_BOX = Box(QUIT_QUESTION, TOOL_NAME, "main", OK_CANCEL_QUESTION)
# The same large file as the last of two: a stop there must not be taken for a failure.
LARGE_LAST = dict(
    checklist=STANDARD.but(cd_files=(("readme.txt", CD_FILES["readme.txt"]), ("large.bin", LARGE)), game_data=()),
    discs={"E": {"large.bin": LARGE, "readme.txt": CD_FILES["readme.txt"]}},
    runs=[Run(["E:\\readme.txt", "E:\\large.bin"], 2)],
    left_unread=("E:\\large.bin", len(LARGE)))
READING_LARGE_LAST = ProgressDialog(CAPTION, PROCESSING + b"\nE:\\large.bin", file_count(2, 2))


def resized_while_read(size):
    """The large file cut or extended from outside while the program reads it: its CRC-32 is that
    of other bytes, so the run reports the file, never an intact disc."""
    return dict(
        steps=THROUGH_MEDIA + [DuringFile(READING_LARGE, (Resize("E", "large.bin", size),)),
                               Expect(media_failed("E:\\large.bin"), (OK,))],
        exit_code=0, checklist=LARGE_FIRST["checklist"], discs=LARGE_FIRST["discs"], runs=LARGE_FIRST["runs"])


# Thirty folders deep: longer than the 260 characters a Windows path may have.
LONG_NAME = "\\".join(f"folder{depth:02d}" for depth in range(30)) + "\\deep.bin"
LONG_PATH = "E:\\" + LONG_NAME


def registry_path(data_size):
    """A REG_SZ value whose data, its terminating NUL included, is data_size bytes long."""
    return "I:\\" + "p" * (data_size - 4)


# Binary data without a NUL keeps the 512-byte buffer's fill characters '0' behind it; a string
# value gets a NUL from RegQueryValueExA instead.
UNTERMINATED = "I:\\data1.bin"
UNTERMINATED_PATH = UNTERMINATED + "0" * (512 - len(UNTERMINATED))

EVERY_LOCALE = (JAPANESE, ENGLISH, CHINESE)
# A name whose second byte is a backslash, under gamedata\.
TABLE = {"表.bin": GAME_DATA["stage\\map01.dat"]}
OUTSIDE_CP932 = installed_path("Zoë\\exe.bin")

SCENARIOS = [
    Scenario("media mode, all intact, game key absent: the success box and no question",
             steps=THROUGH_MEDIA + [Expect(information(MEDIA_INTACT), (OK,))],
             exit_code=1, runs=[MEDIA_RUN], locales=EVERY_LOCALE),
    Scenario("media mode, game installed: the success box, then the question; Cancel ends",
             registry=INSTALLED_GAME,
             steps=THROUGH_MEDIA + [Expect(information(MEDIA_INTACT), (OK,)), Expect(ASK, (CANCEL,))],
             exit_code=1, runs=[MEDIA_RUN]),
    Scenario("media mode, game installed: OK to the question verifies the installed files",
             registry=INSTALLED_GAME,
             steps=THROUGH_MEDIA + [Expect(information(MEDIA_INTACT), (OK,)), Expect(ASK, (OK,)),
                                    Expect(information(INSTALLED_INTACT), (OK,))],
             exit_code=1, runs=[MEDIA_RUN, INSTALLED_RUN], syscalls_traced=True, locales=EVERY_LOCALE),
    Scenario("installed mode, game installed: the question first, then the installed run",
             registry=INSTALLED_GAME,
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(information(INSTALLED_INTACT), (OK,))],
             exit_code=1, runs=[INSTALLED_RUN]),
    Scenario("installed mode, the question declined: nothing verified",
             registry=INSTALLED_GAME,
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (CANCEL,))],
             exit_code=1),
    Scenario("installed mode, second entry missing: the open message, then the damaged-file box",
             **damaged_second_entry("missing.bin", [open_failed, damaged])),
    Scenario("installed mode, second entry one byte short: the size message, then the damaged-file box",
             **damaged_second_entry("short.bin", [size_differs, damaged])),
    Scenario("installed mode, second entry with another CRC: the damaged-file box only",
             **damaged_second_entry("altered.bin", [damaged])),
    Scenario("installed mode, no GAME section: the values are read straight under HKEY_CURRENT_USER",
             checklist=STANDARD.but(game="", reg=(("DisksentryE2EData", INSTALLED["data1.bin"]),)),
             registry={"DisksentryE2EData": INSTALLED_GAME["DataFile"]},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(information(INSTALLED_INTACT), (OK,))],
             exit_code=1, runs=[Run([installed_path("data1.bin")], 1)]),
    Scenario("installed mode, game not installed: the not-installed box",
             steps=[Expect(MODE, (FILES,)), Expect(Box(NOT_INSTALLED, CAPTION, "none", ERROR), (OK,))],
             exit_code=1),
    Scenario("installed mode, game installed, no REG entries: nothing verified, no box",
             checklist=STANDARD.but(reg=()), registry={},
             steps=[Expect(MODE, (FILES,))],
             exit_code=1),
    Scenario("a file missing from the disc: the open message, then the run's failure box",
             **damaged_disc_file(None, [open_failed, media_failed]), locales=EVERY_LOCALE),
    Scenario("a GAMEDATA file named 表.bin, a 0x5C trail byte: found and verified",
             checklist=STANDARD.but(cd_files=(), game_data=tuple(TABLE.items())),
             discs={"E": disc(cd_files={}, game_data=TABLE)},
             steps=THROUGH_MEDIA + [Expect(information(MEDIA_INTACT), (OK,))],
             exit_code=1, runs=[Run(["E:\\gamedata\\表.bin"], 1)], locales=EVERY_LOCALE),
    Scenario("an installed file in a folder that CP932 cannot write (Zoë): opened by its own name",
             registry={**INSTALLED_GAME, "DataFile": RegistryValue(OUTSIDE_CP932)},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(information(INSTALLED_INTACT), (OK,))],
             exit_code=1, runs=[Run([OUTSIDE_CP932, installed_path("map01.dat")], 2)]),
    Scenario("an installed file that is damaged, in the folder Zoë: the box names it in its own letters",
             checklist=STANDARD.but(reg=(("DataFile", INSTALLED["map01.dat"]),)),
             registry={"DataFile": RegistryValue(OUTSIDE_CP932)},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(size_differs(OUTSIDE_CP932), (OK,)),
                    Expect(damaged(OUTSIDE_CP932), (OK,))],
             exit_code=0, runs=[Run([OUTSIDE_CP932], 1)]),
    Scenario("a disc file of another size: the size message, then the run's failure box",
             **damaged_disc_file(CD_FILES["setup.dat"][:-1], [size_differs, media_failed])),
    Scenario("a disc file with another CRC: the run's failure box only",
             **damaged_disc_file(flip_first_byte(CD_FILES["setup.dat"]), [media_failed])),
    Scenario("media mode, no disc files listed: the drive is asked for all the same, nothing verified",
             checklist=STANDARD.but(cd_files=(), game_data=()),
             steps=THROUGH_MEDIA + [Expect(information(MEDIA_INTACT), (OK,))],
             exit_code=1, runs=[Run([], 0)]),
    Scenario("no DRIVEINFO: the check list is reported as wrong, and no drive is asked for",
             checklist=STANDARD.but(drive_info=()),
             steps=[Expect(MODE, (MEDIA,)), Expect(Box(DRIVE_INFO_WRONG, CAPTION, "none", ERROR), (OK,))],
             exit_code=0),
    Scenario("no TITLE: the captions are empty, not the platform's default",
             checklist=STANDARD.but(title=None, drive_info=()),
             steps=[Expect(ModeDialog(MODE.text, b""), (MEDIA,)),
                    Expect(Box(DRIVE_INFO_WRONG, b"", "none", ERROR), (OK,))],
             exit_code=0),
    Scenario("no crclist.INF: the load-failure box, and nothing else", checklist=None, **LOAD_FAILURE),
    Scenario("a crc that is no number in the second entry: the load-failure box, and nothing else",
             checklist=STANDARD.but(damage=(SETUP_ENTRY, SETUP_ENTRY.rsplit(b",", 1)[0] + b",zz")),
             **LOAD_FAILURE),
    Scenario("a 0xFF byte between two entries: the load-failure box, and nothing else",
             checklist=STANDARD.but(damage=(SETUP_ENTRY, b"\xFF\r\n" + SETUP_ENTRY)), **LOAD_FAILURE),
    Scenario("0xFF padding at the end of the list: the usual run",
             checklist=STANDARD.but(padding=b"\xFF" * 30 + b"\r\n\xFF\xFF"),
             steps=THROUGH_MEDIA + [Expect(information(MEDIA_INTACT), (OK,))],
             exit_code=1, runs=[MEDIA_RUN]),
    Scenario("the second CD-ROM drive chosen is the one verified, gamedata\\ included",
             discs={"E": disc(cd_files={**CD_FILES, "setup.dat": flip_first_byte(CD_FILES["setup.dat"])}),
                    "G": disc()},
             steps=[Expect(MODE, (MEDIA,)), Expect(DRIVES, (Choose(1),)), Expect(information(MEDIA_INTACT), (OK,))],
             exit_code=1, runs=[Run(disc_paths("G"), 5)]),
    Scenario("the stop button during a large file: no box, and no later file opened",
             steps=THROUGH_MEDIA + [DuringFile(READING_LARGE, (STOP_BUTTON,))],
             exit_code=0, **LARGE_FIRST),
    Scenario("the progress dialog's close box during a large file: like the stop button",
             steps=THROUGH_MEDIA + [DuringFile(READING_LARGE, (Close,))],
             exit_code=0, **LARGE_FIRST),
    Scenario("a quit confirmed during a large file: no box but the question, no later file opened",
             steps=THROUGH_MEDIA + [DuringFile(READING_LARGE, (Quit,)), Expect(QUIT_BOX, (OK,))],
             exit_code=0, **LARGE_FIRST),
    Scenario("the drive dialog closed: no box",
             steps=[Expect(MODE, (MEDIA,)), Expect(DRIVES, (Close,))],
             exit_code=0),
    Scenario("the mode dialog closed: no box",
             steps=[Expect(MODE, (Close,))],
             exit_code=0),
    Scenario("a close request to the hidden main window asks first; OK ends the program",
             steps=[Expect(MODE, (Quit,)), Expect(QUIT_BOX, (OK,))],
             exit_code=0),
    Scenario("a quit confirmed while the success box is up: no question after it, exit code 0",
             registry=INSTALLED_GAME,
             steps=THROUGH_MEDIA + [Expect(information(MEDIA_INTACT), (Quit,)), Expect(QUIT_BOX, (OK,))],
             exit_code=0, runs=[MEDIA_RUN]),
    Scenario("a quit confirmed while the installed-data question is up: nothing more verified, exit code 0",
             registry=INSTALLED_GAME,
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (Quit,)), Expect(QUIT_BOX, (OK,))],
             exit_code=0),
    Scenario("a REG_BINARY value without a NUL: the fill characters become part of the path",
             registry={**INSTALLED_GAME, "DataFile": RegistryValue(UNTERMINATED.encode("ascii"))},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(open_failed(UNTERMINATED_PATH), (OK,)),
                    Expect(damaged(UNTERMINATED_PATH), (OK,))],
             exit_code=0, runs=[Run([UNTERMINATED_PATH], 2)]),
    Scenario("a registry value of more than 512 bytes: the unresolved-entry box",
             registry={**INSTALLED_GAME, "DataFile": RegistryValue("I:\\" + "x" * 600)},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(unresolved("DataFile"), (OK,))],
             exit_code=0, runs=[Run([], 2)]),
    Scenario("a REG entry whose value is missing: the unresolved-entry box",
             registry={"MapFile": INSTALLED_GAME["MapFile"]},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(unresolved("DataFile"), (OK,))],
             exit_code=0, runs=[Run([], 2)]),
    Scenario("the stop button during the last file: no failure box",
             steps=THROUGH_MEDIA + [DuringFile(READING_LARGE_LAST, (STOP_BUTTON,))],
             exit_code=0, **LARGE_LAST),
    Scenario("a disc file cut short while it is read: the run's failure box, never the success box",
             **resized_while_read(len(LARGE) // 2)),
    Scenario("a disc file that grows while it is read: the run's failure box, never the success box",
             **resized_while_read(len(LARGE) + (1 << 20))),
    Scenario("a disc file held open by another program: the open message, then the run's failure box",
             held_file="E:\\setup.dat",
             steps=THROUGH_MEDIA + [Expect(open_failed("E:\\setup.dat"), (OK,)),
                                    Expect(media_failed("E:\\setup.dat"), (OK,))],
             exit_code=0, runs=[Run(disc_paths("E")[:2], 5)]),
    Scenario("a path longer than Windows allows: the open message with the whole path",
             checklist=STANDARD.but(cd_files=((LONG_NAME, CD_FILES["readme.txt"]),), game_data=()),
             discs={"E": {LONG_NAME.replace("\\", "/"): CD_FILES["readme.txt"]}},
             steps=THROUGH_MEDIA + [Expect(open_failed(LONG_PATH), (OK,)), Expect(media_failed(LONG_PATH), (OK,))],
             exit_code=0, runs=[Run([LONG_PATH], 1)]),
    Scenario("a registry value of 511 bytes: its whole text is the path",
             registry={**INSTALLED_GAME, "DataFile": RegistryValue(registry_path(511))},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(open_failed(registry_path(511)), (OK,)),
                    Expect(damaged(registry_path(511)), (OK,))],
             exit_code=0, runs=[Run([registry_path(511)], 2)]),
    Scenario("a registry value of exactly 512 bytes: its whole text is the path",
             registry={**INSTALLED_GAME, "DataFile": RegistryValue(registry_path(512))},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(open_failed(registry_path(512)), (OK,)),
                    Expect(damaged(registry_path(512)), (OK,))],
             exit_code=0, runs=[Run([registry_path(512)], 2)]),
    Scenario("a registry value of 513 bytes: the unresolved-entry box",
             registry={**INSTALLED_GAME, "DataFile": RegistryValue(registry_path(513))},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(unresolved("DataFile"), (OK,))],
             exit_code=0, runs=[Run([], 2)]),
    Scenario("a REG_DWORD value: its bytes are taken as the path, which opens nothing",
             registry={**INSTALLED_GAME, "DataFile": RegistryValue(0x41)},
             steps=[Expect(MODE, (FILES,)), Expect(ASK, (OK,)), Expect(open_failed("A"), (OK,)),
                    Expect(damaged("A"), (OK,))],
             exit_code=0, runs=[Run(["A"], 2)]),
    Scenario("a disc file whose reads fail from its middle on: the run's failure box, never the success box",
             faults={"E": Faults(fail=[("gamedata/data1.bin", 196608)])},
             steps=THROUGH_MEDIA + [Expect(media_failed("E:\\gamedata\\data1.bin"), (OK,))],
             exit_code=0, runs=[Run(disc_paths("E")[:4], 5)]),
    Scenario("a disc file whose read stalls for seconds, then succeeds: the success box",
             faults={"E": Faults(stall=[("gamedata/data1.bin", 100000, 4)])},
             steps=THROUGH_MEDIA + [Expect(information(MEDIA_INTACT), (OK,))],
             exit_code=1, runs=[MEDIA_RUN]),
    Scenario("a second start while one runs ends at once and shows nothing",
             steps=[Expect(MODE, (StartSecond, Close))],
             exit_code=0),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, type=Path)
    parser.add_argument("--driver", required=True, type=Path)
    parser.add_argument("--work", required=True, type=Path)
    parser.add_argument("names", nargs="*", help="run only the scenarios whose names contain one of these")
    arguments = parser.parse_args()
    chosen = [(number, scenario) for number, scenario in enumerate(SCENARIOS)
              if not arguments.names or any(name in scenario.name for name in arguments.names)]
    # A test runner that gives up on us sends SIGTERM: end Wine and Xvfb all the same.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))

    failed = skipped = runs = 0
    started = time.monotonic()
    with VirtualDisplay() as display:
        wine = WineSession(arguments.work / "wineprefix", display.name)
        try:
            prepare_prefix(wine, arguments.work)
            runner = ScenarioRunner(wine, arguments.work, arguments.program, arguments.driver)
            for locale in EVERY_LOCALE:
                wine.use_locale(locale)
                for number, scenario in chosen:
                    if locale not in scenario.locales:
                        continue
                    runs += 1
                    row = f"{number:2d} {locale.split('.')[0]} {scenario.name}"
                    if scenario.faults and unavailable():
                        print(f"skip {row}: no fault file system: {unavailable()}", flush=True)
                        skipped += 1
                        continue
                    row_started = time.monotonic()
                    problems = runner.run(number, scenario)
                    verdict = "FAIL" if problems else "ok  "
                    print(f"{verdict} {row} ({time.monotonic() - row_started:.1f} s)", flush=True)
                    for problem in problems:
                        print(f"       {problem}", flush=True)
                    failed += bool(problems)
        finally:
            wine.stop_server()
    passed = runs - failed - skipped
    if not arguments.names and runner.templates_checked != set(TEMPLATES):
        print("FAIL the dialog templates were not all read back from running dialogs")
        failed += 1
    print(f"e2e: {passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    print(f"e2e: {time.monotonic() - started:.0f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
