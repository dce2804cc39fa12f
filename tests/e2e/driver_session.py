"""The driver program (tests/e2e/driver) as seen from Python: it starts disksentry.exe, reports
each dialog and message box it shows, and presses what it is told to."""

import queue
import threading
from dataclasses import dataclass, field

from expectations import cp932

# Every wait of the driver ends after this long unless told otherwise; the reply to the harness
# comes a little later.
WAIT_MS = 20000
REPLY_MARGIN = 30

IDOK = 1
MESSAGE_TEXT = 0xFFFF


class DriverError(Exception):
    pass


@dataclass
class Control:
    id: int
    kind: str
    text: bytes


@dataclass
class Window:
    """A dialog or message box as the driver read it: texts in the form of expectations.cp932."""
    hwnd: int
    kind: str
    owner: int
    owner_kind: str
    rect: tuple
    caption: bytes
    topmost: bool
    controls: list = field(default_factory=list)
    items: list = field(default_factory=list)
    # The program's DS_SYSMODAL dialogs that were on screen with it.
    up: list = field(default_factory=list)

    def text_of(self, control_id):
        for control in self.controls:
            if control.id == control_id:
                return control.text
        return None

    @property
    def buttons(self):
        return [control.id for control in self.controls if control.kind == "Button"]

    @property
    def message(self):
        return self.text_of(MESSAGE_TEXT)


@dataclass
class Progress:
    hwnd: int
    status: bytes
    count: bytes


@dataclass
class Exited:
    code: int


@dataclass
class SecondStart:
    code: int
    thread: int
    windows: int


def text_of(hex_utf8):
    """A text as the driver sends it: the hex of its UTF-8 bytes."""
    return cp932(bytes.fromhex(hex_utf8).decode("utf-8"))


def parse_reply(line):
    """Splits "word key=value ..." into the word and its fields; a key may repeat."""
    word, *fields = line.split()
    values = []
    for item in fields:
        key, _, value = item.partition("=")
        values.append((key, value))
    return word, values


def parse_window(values):
    fields = dict(values)
    window = Window(hwnd=int(fields["hwnd"], 16), kind=fields["kind"], owner=int(fields["owner"], 16),
                    owner_kind=fields["ownerkind"], rect=tuple(int(n) for n in fields["rect"].split(",")),
                    caption=text_of(fields["caption"]), topmost=fields["topmost"] == "1")
    for key, value in values:
        if key == "control":
            control_id, kind, text = value.split(",")
            window.controls.append(Control(int(control_id), kind, text_of(text)))
        elif key == "item":
            window.items.append(text_of(value))
        elif key == "up":
            window.up.append(int(value, 16))
    return window


class DriverSession:
    """One run of the program under the driver. Progress lines that arrive between replies are
    kept in `progress`; each command waits for its own reply."""

    def __init__(self, wine, driver, program, folder, trace_file, debug="-all", wrapper=()):
        self.process = wine.start([wine.windows_path(driver), wine.windows_path(program)], folder,
                                  trace_file, debug, wrapper)
        self.lines = queue.Queue()
        self.progress = []
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        word, values = self._reply()
        if word != "started":
            raise DriverError(f"the driver did not start the program: {word} {values}")
        self.thread = int(dict(values)["thread"])

    def _read(self):
        for raw in self.process.stdout:
            self.lines.put(raw.decode("ascii", "replace").strip())
        self.lines.put(None)

    def _reply(self, wait_ms=WAIT_MS):
        """The next reply to a command that waits up to wait_ms; progress lines on the way are
        collected."""
        while True:
            try:
                line = self.lines.get(timeout=wait_ms / 1000 + REPLY_MARGIN)
            except queue.Empty:
                raise DriverError("the driver did not answer") from None
            if line is None:
                raise DriverError("the driver ended")
            word, values = parse_reply(line)
            if word != "progress":
                return word, values
            fields = dict(values)
            self.progress.append(Progress(int(fields["hwnd"], 16), text_of(fields["status"]),
                                          text_of(fields["count"])))

    def _command(self, text, wait_ms=WAIT_MS):
        self.process.stdin.write((text + "\n").encode("ascii"))
        self.process.stdin.flush()
        return self._reply(wait_ms)

    def next(self, wait_ms=WAIT_MS):
        """The next dialog or message box (a Window), or the end of the program (Exited)."""
        word, values = self._command(f"next {wait_ms}", wait_ms)
        if word == "window":
            return parse_window(values)
        if word == "exited":
            return Exited(int(dict(values)["code"]))
        raise DriverError(f"no window and no exit: {word}")

    def press(self, window, control_id):
        self._expect_ok(f"press {window.hwnd:x} {control_id}")

    def choose_drive(self, window, index):
        values = self._expect_ok(f"select {window.hwnd:x} {index}")
        if int(dict(values)["selected"]) != index:
            raise DriverError(f"drive list item {index} could not be selected")
        self.press(window, IDOK)

    def close(self, window):
        self._expect_ok(f"close {window.hwnd:x}")

    def quit(self):
        self._expect_ok("quit")

    def await_progress(self):
        """The progress dialog once it shows a file, while the program reads on."""
        word, values = self._command(f"progress {WAIT_MS}")
        if word != "window":
            raise DriverError(f"no progress dialog showed a file: {word}")
        return parse_window(values)

    def start_second(self):
        word, values = self._command(f"second {WAIT_MS}")
        if word != "second":
            raise DriverError(f"the second start did not end: {word}")
        fields = dict(values)
        return SecondStart(int(fields["code"]), int(fields["thread"]), int(fields["windows"]))

    def _expect_ok(self, command):
        word, values = self._command(command)
        if word != "ok":
            raise DriverError(f"{command}: {word} {values}")
        return values

    def close_session(self):
        """Ends the driver (which ends the program if it still runs) and waits for it."""
        try:
            if self.process.poll() is None:
                self._command("end")
        except (DriverError, BrokenPipeError, OSError):
            pass
        try:
            self.process.wait(timeout=30)
        except Exception:
            self.process.kill()
            self.process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close_session()
