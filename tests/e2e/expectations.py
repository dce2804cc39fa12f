"""What the program must show: its texts as CP932 bytes, the dialogs and message boxes a scenario
expects, and what the user answers to each. What Windows shows or opens is UTF-16 and is compared in
the same form."""

from dataclasses import dataclass


def cp932(text):
    """A text as its CP932 bytes; a character that CP932 cannot write (the "ë" of a user folder
    "Zoë") stands as a backslash escape, on both sides of a comparison alike."""
    return text.encode("cp932", "backslashreplace")


# The program's own texts.
LOAD_FAILED = cp932("InfFileの読み取りに失敗しました")
MEDIA_INTACT = cp932("CD/DVD内のファイルは正常であることが確認されました。")
NOT_INSTALLED = cp932("ゲームがインストールされていません")
QUESTION = cp932("ゲームがインストールされています。\n続いてインストールされたデーターもチェックしますか？\n")
INSTALLED_INTACT = cp932("インストールされたファイルは正常であることが確認されました。")
DRIVE_INFO_WRONG = cp932("情報ファイルの記述が間違っています。")
MEDIA_FILE_FAILED = cp932("ファイルの読み込みに失敗しました。\nサポートページをご覧下さい。\n終了します。")
ENTRY_UNRESOLVED = cp932("開けないファイルがありました。\n終了します。\n")
FILE_DAMAGED = cp932("ファイルが壊れてます。\n再インストールの必要があります\n終了します。")
OPEN_FAILED = cp932("のファイルのオープンに失敗しました")
SIZE_DIFFERS = cp932("のファイルサイズが一致しません")
QUIT_QUESTION = cp932("Disksentryを終了します。よろしいですか？")
PROCESSING = cp932("処理中････")
TOOL_NAME = b"Disksentry"

# "ＭＳ Ｐゴシック" in CP932, written out byte by byte.
FONT_NAME = b"\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e"

# Control ids of the dialog templates.
CHECK_MEDIA, CHECK_FILES, MODE_TEXT = 1018, 1019, 1015
DRIVE_LIST, PROMPT, LABEL = 1011, 1013, 0xFFFF
STOP, PROGRESS_BAR, STATUS, FILE_COUNT = 1016, 1014, 1013, 1015
IDOK, IDCANCEL = 1, 2

# Message box styles: icon and buttons.
ERROR = 0x10
INFORMATION = 0x40
OK_CANCEL_INFORMATION = 0x41
OK_CANCEL_QUESTION = 0x21
# Only the stacking: a box's text, caption, icon and buttons are the same with it or without.
MB_TOPMOST = 0x40000

# The three templates as the dialog manager reads them from the program (size in dialog units).
TEMPLATES = {
    (159, 165): ("ﾀﾞｲｱﾛｸﾞ", [("Button", "CD/DVDのチェック", CHECK_MEDIA),
                             ("Button", "ファイルのチェック", CHECK_FILES),
                             ("Static", "Static", MODE_TEXT)]),
    (139, 115): ("Disksentry", [("Button", "OK", IDOK), ("ComboBox", "", DRIVE_LIST),
                                ("Static", "CD/DVD-ROMﾄﾞﾗｲﾌﾞ :", LABEL), ("Static", "Static", PROMPT)]),
    (187, 101): ("ﾀﾞｲｱﾛｸﾞ", [("Button", "停止", STOP), ("msctls_progress32", "Progress1", PROGRESS_BAR),
                             ("Static", "", STATUS), ("Static", "", FILE_COUNT)]),
}


def file_count(current, total):
    return cp932(f"のこり({current}/{total})ファイル")


def expect_equal(problems, what, actual, expected):
    if actual != expected:
        problems.append(f"{what}: {show(actual)}, expected {show(expected)}")


def show(value):
    """Bytes as readable text for a failure message."""
    if isinstance(value, bytes):
        return repr(value.decode("cp932", "backslashreplace"))
    if isinstance(value, list):
        return "[" + ", ".join(show(item) for item in value) + "]"
    return repr(value)


@dataclass
class ModeDialog:
    text: bytes
    caption: bytes

    def check(self, window, problems):
        expect_equal(problems, "window", window.kind, "mode")
        expect_equal(problems, "mode dialog caption", window.caption, self.caption)
        expect_equal(problems, "mode dialog text", window.text_of(MODE_TEXT), self.text)
        expect_equal(problems, "mode dialog owner", window.owner_kind, "main")
        expect_equal(problems, "media button", window.text_of(CHECK_MEDIA), cp932("CD/DVDのチェック"))
        expect_equal(problems, "files button", window.text_of(CHECK_FILES), cp932("ファイルのチェック"))


@dataclass
class DriveDialog:
    prompt: bytes
    caption: bytes
    drives: list

    def check(self, window, problems):
        expect_equal(problems, "window", window.kind, "drive")
        expect_equal(problems, "drive dialog caption", window.caption, self.caption)
        expect_equal(problems, "drive prompt", window.text_of(PROMPT), self.prompt)
        expect_equal(problems, "drive list", window.items, self.drives)
        expect_equal(problems, "drive dialog owner", window.owner_kind, "none")
        expect_equal(problems, "drive list label", window.text_of(LABEL), cp932("CD/DVD-ROMﾄﾞﾗｲﾌﾞ :"))
        expect_equal(problems, "OK button", window.text_of(IDOK), b"OK")


@dataclass
class ProgressDialog:
    caption: bytes
    status: bytes
    count: bytes

    def check(self, window, problems):
        expect_equal(problems, "window", window.kind, "progress")
        expect_equal(problems, "progress caption", window.caption, self.caption)
        expect_equal(problems, "progress status", window.text_of(STATUS), self.status)
        expect_equal(problems, "progress file count", window.text_of(FILE_COUNT), self.count)
        expect_equal(problems, "stop button", window.text_of(STOP), cp932("停止"))
        expect_equal(problems, "progress bar text", window.text_of(PROGRESS_BAR), b"Progress1")
        expect_equal(problems, "progress dialog owner", window.owner_kind, "none")


@dataclass
class Box:
    """A message box. caption None: a null caption, which the platform replaces by its own;
    owner "none", "main" (the hidden main window) or "progress" (the run's progress dialog)."""
    text: bytes
    caption: bytes
    owner: str
    style: int

    def check(self, window, problems):
        expect_equal(problems, "window", window.kind, "box")
        expect_equal(problems, "box text", window.message, self.text)
        expect_equal(problems, "box owner", window.owner_kind, self.owner)
        expected_buttons = [IDOK, IDCANCEL] if self.style & 0xF == 1 else [IDOK]
        expect_equal(problems, "box buttons", sorted(window.buttons), expected_buttons)
        if self.caption is not None:
            expect_equal(problems, "box caption", window.caption, self.caption)
        elif not window.caption:
            problems.append("box caption: empty, expected the platform's default")

    def check_call(self, call, window, problems):
        """Against the MessageBoxA call in Wine's trace: what the window does not reveal."""
        expect_equal(problems, "MessageBoxA owner", call.owner, window.owner)
        expect_equal(problems, "MessageBoxA caption", call.caption, self.caption)
        expect_equal(problems, "MessageBoxA style", hex(call.style & ~MB_TOPMOST), hex(self.style))
        check_stacking(call, window, problems)
        if call.text_cut:
            if not self.text.startswith(call.text):
                problems.append(f"MessageBoxA text: {show(call.text)}..., expected {show(self.text)}")
        else:
            expect_equal(problems, "MessageBoxA text", call.text, self.text)


def check_stacking(call, window, problems):
    """Windows keeps a DS_SYSMODAL dialog above every window that is not topmost, so a box shown
    while one is up must be topmost or owned by it, or it may open beneath the dialog with its
    OK button hidden. Wine makes no dialog topmost, so the stacking on its screen cannot show the
    fault: the box's style, its window and its owner can."""
    if not window.up or call.style & MB_TOPMOST or window.topmost or window.owner in window.up:
        return
    problems.append(f"box {show(window.message)}: neither topmost nor owned by the DS_SYSMODAL dialog "
                    f"up beside it ({', '.join(f'{hwnd:x}' for hwnd in window.up)})")


# What the user does with a dialog or box.
@dataclass
class Press:
    control: int


@dataclass
class Choose:
    """Selects a drive of the list by its index and presses OK."""
    index: int


class Close:
    """The dialog's close box."""


class Quit:
    """A close request to the hidden main window, the dialog left as it is."""


class StartSecond:
    """A second start of the program while this dialog is open."""


@dataclass
class Resize:
    """Cuts or extends a disc file from outside Wine while the program reads it."""
    drive: str
    name: str
    size: int


OK, CANCEL = Press(IDOK), Press(IDCANCEL)
MEDIA, FILES = Press(CHECK_MEDIA), Press(CHECK_FILES)
STOP_BUTTON = Press(STOP)


@dataclass
class Expect:
    """The next dialog or box the program shows, and the answers to it, in order."""
    window: object
    answers: tuple


@dataclass
class DuringFile:
    """The progress dialog while it shows a file, and the answers given then."""
    dialog: ProgressDialog
    answers: tuple
