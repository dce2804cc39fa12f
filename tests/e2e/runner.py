"""Runs one scenario against the real program: lays out its folders, drives and registry, walks
through its dialogs and boxes with the driver, then holds what was seen and what Wine's trace
recorded against the scenario."""

import contextlib
import hashlib
import os
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

from driver_session import DriverSession, DriverError, Exited
from expectations import (FILE_COUNT, FONT_NAME, PROCESSING, STATUS, TEMPLATES, Box, Choose, Close, cp932,
                          DuringFile, Press, Quit, Resize, StartSecond, expect_equal, file_count, show)
from fixtures import GAME_KEY, INSTALLED, INSTALLED_DRIVE, REGISTRY_ROOT, write_file
from relay_trace import RelayTrace
from syscall_trace import STRACE_WRITES, writes_outside

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "faultfs"))
from faultmount import FaultMount, unavailable  # noqa: E402

# The calls that Wine traces for the scenarios; only these are wrapped, so the trace stays small.
RELAY_INCLUDE = "user32.MessageBoxW;user32.SetDlgItemTextW;kernel32.CreateFileW;kernel32.ReadFile"
TRACE_CHANNELS = "-all,+relay,+dialog"
GENERIC_READ = 0x80000000
MAX_PATH = 260
FIXED_DRIVE = "D"
# How long a run may take to reach the file that a scenario acts during.
FILE_WAIT = 30
CDROM_DRIVES = ("E", "G")


def prepare_prefix(wine, work):
    """Drive letters and trace settings, once per suite: D: and I: fixed, E: and G: CD-ROM, and Z:
    (the root folder, where the program starts from) a CD-ROM that must never be offered."""
    wine.ensure_ready()
    wine.reg_add(r"HKCU\Software\Wine\Debug", "RelayInclude", RELAY_INCLUDE)
    installed = work / "installed"
    for name, content in INSTALLED.items():
        write_file(installed / name.replace("\\", "/"), content)
    (work / "fixed").mkdir(parents=True, exist_ok=True)
    wine.map_drive(FIXED_DRIVE.lower(), work / "fixed", "hd")
    wine.map_drive(INSTALLED_DRIVE.lower(), installed, "hd")
    # G before E: the list must come out in letter order whatever the order of mapping.
    for letter in reversed(CDROM_DRIVES):
        wine.map_drive(letter.lower(), work / "fixed", "cdrom")
    wine.map_drive("z", "/", "cdrom")
    # The drive types are read when the wineserver starts.
    wine.stop_server()


def snapshot(folders):
    """Every file and folder under the folders with a digest of its bytes."""
    state = {}
    for folder in folders:
        for path in sorted(Path(folder).rglob("*")):
            if path.is_dir():
                state[str(path)] = "folder"
                continue
            digest = hashlib.sha256()
            with open(path, "rb") as file:
                for chunk in iter(lambda: file.read(1 << 20), b""):
                    digest.update(chunk)
            state[str(path)] = digest.hexdigest()
    return state


def traced_equal(problems, what, traced, expected):
    """Compares a string from Wine's trace, which may have been cut short, with the expected bytes."""
    text, cut = traced
    if cut and expected.startswith(text):
        return
    expect_equal(problems, what, text, expected)


@dataclass
class Seen:
    """What a run showed: the boxes with what was expected of each, the handles of the other
    dialogs, and the second start if there was one."""
    boxes: list = field(default_factory=list)
    dialogs: set = field(default_factory=set)
    second: object = None


class ScenarioRunner:
    def __init__(self, wine, work, program, driver):
        self.wine = wine
        self.work = work
        self.program = program
        self.driver = driver
        self.holder = driver.with_name("e2e_file_holder.exe")
        self.templates_checked = set()

    def run(self, number, scenario):
        """Runs the scenario and gives the list of its problems, empty when it passed."""
        folder = self.work / "rows" / f"{number:02d}"
        working_folder = self._lay_out(folder, scenario)
        watched = [folder, self.work / "installed", self.work / "fixed"]
        before = snapshot(watched)
        self.row_folder = folder
        self.resized = set()
        problems = []
        trace_path = self.work / "traces" / f"{number:02d}.txt"
        trace_path.parent.mkdir(parents=True, exist_ok=True)
        syscalls_path = (self.work / "traces" / f"{number:02d}.strace").resolve()
        wrapper = ["strace", "-f", "-qq", "-y", "-e", STRACE_WRITES, "-o", str(syscalls_path)]
        # Mounted outside the row's folder, which is compared before and after.
        faulty = {letter: FaultMount(folder / letter, self.work / "mounts" / f"{number:02d}{letter}",
                                     fail=faults.fail, stall=faults.stall)
                  for letter, faults in scenario.faults.items()}
        with contextlib.ExitStack() as mounts, open(trace_path, "w") as trace_file, \
                self._holding(scenario.held_file, working_folder):
            for letter, mount in faulty.items():
                mounts.enter_context(mount)
                self.wine.point_drive(letter.lower(), mount.mountpoint)
            try:
                with DriverSession(self.wine, self.driver, self.program, working_folder, trace_file,
                                   TRACE_CHANNELS, wrapper if scenario.syscalls_traced else ()) as session:
                    seen = self._walk(session, scenario, problems)
            except DriverError as error:
                problems.append(f"driver: {error}")
                # A program left running would make the next start a second instance.
                self.wine.stop_server()
                return problems
        for mount in faulty.values():
            problems += mount.unmet()
        trace_text = trace_path.read_text(encoding="latin-1")
        self._check_trace(RelayTrace(trace_text, session.thread), scenario, seen, session, problems)
        if seen.second is not None:
            self._check_second_start(RelayTrace(trace_text, seen.second.thread), problems)
        after = snapshot(watched)
        for path in self.resized:
            before.pop(path, None), after.pop(path, None)
        if after != before:
            problems.append("the program changed files in the disc, working or installed folders")
        if scenario.syscalls_traced:
            for line in writes_outside(syscalls_path.read_text(errors="replace"), [self.wine.prefix],
                                       working_folder.resolve()):
                problems.append(f"a write outside the Wine prefix: {line}")
        return problems

    def _lay_out(self, folder, scenario):
        if folder.exists():
            shutil.rmtree(folder)
        for letter in CDROM_DRIVES:
            for name, content in scenario.discs.get(letter, {}).items():
                write_file(folder / letter / name, content)
            (folder / letter).mkdir(parents=True, exist_ok=True)
            self.wine.point_drive(letter.lower(), folder / letter)
        working_folder = folder / "cwd"
        working_folder.mkdir(parents=True)
        if scenario.checklist is not None:
            write_file(working_folder / "crclist.INF", scenario.checklist.render())
        self.wine.reg_delete(REGISTRY_ROOT)
        if scenario.registry is not None:
            game = scenario.checklist.game if scenario.checklist is not None else GAME_KEY
            key = "HKCU\\" + game if game else "HKCU"
            self.wine.reg_create(key)
            for name, value in scenario.registry.items():
                self.wine.reg_add(key, name, value.text, value.kind)
        return working_folder

    def _walk(self, session, scenario, problems):
        seen = Seen()
        for step in scenario.steps:
            if isinstance(step, DuringFile):
                window = self._await_file(session, step.dialog)
                step.dialog.check(window, problems)
            else:
                window = session.next()
                if isinstance(window, Exited):
                    problems.append(f"the program ended with {window.code} where {step.window} was expected")
                    return seen
                step.window.check(window, problems)
                if isinstance(step.window, Box):
                    seen.boxes.append((step.window, window))
                else:
                    seen.dialogs.add(window.hwnd)
            for answer in step.answers:
                self._answer(session, window, answer, seen, problems)
        end = session.next()
        if isinstance(end, Exited):
            expect_equal(problems, "exit code", end.code, scenario.exit_code)
        else:
            problems.append(f"a window more than expected: {end}")
        return seen

    @contextlib.contextmanager
    def _holding(self, path, folder):
        """Another Windows program holds the path open without sharing while the scenario runs."""
        if path is None:
            yield
            return
        holder = self.wine.start([self.wine.windows_path(self.holder), path], folder, subprocess.DEVNULL, "-all")
        try:
            line = holder.stdout.readline().decode("ascii", "replace").strip()
            if line != "held":
                raise RuntimeError(f"{path} could not be held: {line}")
            yield
        finally:
            holder.stdin.close()
            holder.wait(timeout=30)

    @staticmethod
    def _await_file(session, dialog):
        """The progress dialog once it shows the expected file and count, or as it is after a while."""
        deadline = time.monotonic() + FILE_WAIT
        window = session.await_progress()
        while ((window.text_of(STATUS), window.text_of(FILE_COUNT)) != (dialog.status, dialog.count)
               and time.monotonic() < deadline):
            window = session.await_progress()
        return window

    def _answer(self, session, window, answer, seen, problems):
        if isinstance(answer, Press):
            session.press(window, answer.control)
        elif isinstance(answer, Choose):
            session.choose_drive(window, answer.index)
        elif answer is Close:
            session.close(window)
        elif answer is Quit:
            session.quit()
        elif isinstance(answer, Resize):
            path = self.row_folder / answer.drive / answer.name
            os.truncate(path, answer.size)
            self.resized.add(str(path))
        elif answer is StartSecond:
            second = session.start_second()
            expect_equal(problems, "second start's exit code", second.code, 0)
            expect_equal(problems, "second start's windows", second.windows, 0)
            seen.second = second
        else:
            raise ValueError(f"unknown answer {answer}")

    def _check_trace(self, trace, scenario, seen, session, problems):
        expect_equal(problems, "MessageBoxW calls", len(trace.message_boxes), len(seen.boxes))
        for (expected, window), call in zip(seen.boxes, trace.message_boxes):
            expected.check_call(call, window, problems)

        # A path of MAX_PATH characters or more is refused before it reaches the file system.
        expected_files = [b"crclist.INF"] + [cp932(path) for run in scenario.runs for path in run.paths
                                             if len(path) < MAX_PATH]
        expect_equal(problems, "files opened", len(trace.opened_files), len(expected_files))
        for index, ((path, cut, access), expected) in enumerate(zip(trace.opened_files, expected_files)):
            traced_equal(problems, f"file opened #{index + 1}", (path, cut), expected)
            expect_equal(problems, f"access to file #{index + 1}", hex(access), hex(GENERIC_READ))

        if scenario.left_unread is not None:
            path, size = scenario.left_unread
            requested = trace.bytes_requested(cp932(path))
            if requested >= size:
                problems.append(f"{path} was read to its end ({requested} bytes asked for)")

        self._check_progress_texts(trace, scenario, seen, session, problems)
        self._check_templates(trace, problems)

    @staticmethod
    def _expected_progress_texts(scenario):
        texts = []
        for run in scenario.runs:
            texts.append((STATUS, PROCESSING))
            for ordinal, path in enumerate(run.paths, start=1):
                texts.append((STATUS, PROCESSING + b"\n" + cp932(path)))
                texts.append((FILE_COUNT, file_count(ordinal, run.total)))
        return texts

    def _check_progress_texts(self, trace, scenario, seen, session, problems):
        """What the runs wrote into their progress dialogs, call by call, and what the driver saw
        of it on the screen."""
        expected = self._expected_progress_texts(scenario)
        traced = [(control, (text, cut)) for window, control, text, cut in trace.dialog_texts
                  if window not in seen.dialogs]
        expect_equal(problems, "progress texts set", len(traced), len(expected))
        for (control, text), (expected_control, expected_text) in zip(traced, expected):
            expect_equal(problems, "progress control", control, expected_control)
            traced_equal(problems, "progress text", text, expected_text)
        shown = {text for _, text in expected}
        for state in session.progress:
            if state.status not in shown or (state.count and state.count not in shown):
                problems.append(f"progress dialog showed {show(state.status)} {show(state.count)}")

    def _check_templates(self, trace, problems):
        """The program's dialog templates as Wine's dialog manager read them while creating the
        dialogs: captions, control texts and the font name must be the exact CP932 texts. Class
        names are compared as Windows does, without regard to case."""
        for template in trace.templates:
            if template.size not in TEMPLATES:
                continue
            caption, controls = TEMPLATES[template.size]
            what = f"template {template.size}"
            expect_equal(problems, f"{what} caption", template.caption.encode("cp932"), caption.encode("cp932"))
            expect_equal(problems, f"{what} font", template.font.encode("cp932"), FONT_NAME)
            expect_equal(problems, f"{what} controls",
                         [(kind.lower(), text.encode("cp932"), control_id) for kind, text, control_id in template.controls],
                         [(kind.lower(), text.encode("cp932"), control_id) for kind, text, control_id in controls])
            self.templates_checked.add(template.size)

    @staticmethod
    def _check_second_start(trace, problems):
        """A second instance ends before it opens a file, a dialog or a box."""
        expect_equal(problems, "second start's boxes", len(trace.message_boxes), 0)
        expect_equal(problems, "second start's opened files", len(trace.opened_files), 0)
        expect_equal(problems, "second start's dialogs", len(trace.templates), 0)
