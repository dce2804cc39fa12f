"""What Wine's trace says one thread of the program did: its MessageBoxW, CreateFileW, ReadFile
and SetDlgItemTextW calls (channel +relay, with RelayInclude naming them) and the dialog templates
it created (channel +dialog). The strings of the calls come back in the form of expectations.cp932,
those of the templates as the UTF-16 text."""

import re
from dataclasses import dataclass, field

from expectations import cp932

# Wine shortens a traced string to about 300 characters and marks the cut with "...".
CALL = re.compile(r"^(?P<thread>[0-9a-f]{4,}):Call (?P<function>[\w.]+)\((?P<arguments>.*)\) ret=[0-9a-f]+$")
TEMPLATE_LINE = re.compile(r"^(?P<thread>[0-9a-f]{4,}):trace:dialog:(?P<where>\w+)\s+(?P<rest>.*)$")


@dataclass
class Argument:
    value: int
    text: bytes = None
    cut: bool = False


@dataclass
class MessageBoxCall:
    owner: int
    text: bytes
    text_cut: bool
    caption: bytes  # None: a null pointer, the platform's default caption
    style: int


@dataclass
class Template:
    """A dialog template as the dialog manager read it; texts are UTF-16 strings."""
    size: tuple
    caption: str = None
    font: str = None
    controls: list = field(default_factory=list)  # (class, text, id)


def unescape(body, wide):
    """Undoes Wine's debugstr escapes: \\n \\r \\t \\" \\\\, \\xHH in byte strings and \\HHHH in
    UTF-16 strings."""
    out = [] if wide else bytearray()
    i = 0
    simple = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}
    while i < len(body):
        c = body[i]
        if c != "\\":
            out.append(c if wide else ord(c))
            i += 1
        elif body[i + 1] in simple:
            out.append(simple[body[i + 1]] if wide else ord(simple[body[i + 1]]))
            i += 2
        elif wide:
            out.append(chr(int(body[i + 1:i + 5], 16)))
            i += 5
        else:
            out.append(int(body[i + 2:i + 4], 16))
            i += 4
    return "".join(out) if wide else bytes(out)


def read_string(text, start):
    """Reads a quoted string at text[start] ('"' or 'L"'); gives (value, cut, end)."""
    wide = text.startswith('L"', start)
    i = start + (2 if wide else 1)
    body_start = i
    while text[i] != '"':
        i += 2 if text[i] == "\\" else 1
    value = unescape(text[body_start:i], wide)
    i += 1
    cut = text.startswith("...", i)
    return value, cut, i + (3 if cut else 0)


def parse_arguments(text):
    """Splits a traced argument list: each argument is a hex number, maybe followed by the
    string it points to."""
    arguments = []
    i = 0
    while i < len(text):
        match = re.compile(r"[0-9a-fA-F]+").match(text, i)
        argument = Argument(int(match.group(), 16))
        i = match.end()
        if text.startswith(' "', i) or text.startswith(' L"', i):
            argument.text, argument.cut, i = read_string(text, i + 1)
        arguments.append(argument)
        i += 1  # the comma
    return arguments


def parse_template_strings(text):
    """The quoted strings of a +dialog line, in order."""
    strings = []
    i = text.find('L"')
    while i != -1:
        value, _, end = read_string(text, i)
        strings.append(value)
        i = text.find('L"', end)
    return strings


class RelayTrace:
    """The calls of one thread, in the order it made them."""

    def __init__(self, text, thread):
        self.message_boxes = []
        self.opened_files = []  # (path, cut short, access)
        self.reads = []  # (index in opened_files of the file last opened, bytes asked for)
        self.dialog_texts = []  # (window, control id, text, cut short)
        self.templates = []
        prefix = f"{thread:04x}:"
        for line in text.splitlines():
            if line.startswith(prefix):
                self._take(line)

    def bytes_requested(self, path):
        """The bytes asked for by the reads after the file was opened, before the next open."""
        opened = [index for index, (name, _, _) in enumerate(self.opened_files) if name == path]
        return sum(count for index, count in self.reads if index in opened)

    def _take(self, line):
        call = CALL.match(line)
        if call:
            self._take_call(call.group("function").lower(), parse_arguments(call.group("arguments")))
            return
        template_line = TEMPLATE_LINE.match(line)
        if template_line:
            self._take_template(template_line.group("where"), template_line.group("rest"))

    def _take_call(self, function, arguments):
        if function == "user32.messageboxw":
            owner, text, caption, style = arguments
            self.message_boxes.append(MessageBoxCall(owner.value, cp932(text.text), text.cut,
                                                     cp932(caption.text) if caption.value else None,
                                                     style.value))
        elif function == "kernel32.createfilew":
            self.opened_files.append((cp932(arguments[0].text), arguments[0].cut, arguments[1].value))
        elif function == "kernel32.readfile":
            self.reads.append((len(self.opened_files) - 1, arguments[2].value))
        elif function == "user32.setdlgitemtextw":
            window, control, text = arguments
            self.dialog_texts.append((window.value, control.value, cp932(text.text), text.cut))

    def _take_template(self, where, rest):
        if where == "DIALOG_ParseTemplate32" and rest.startswith("DIALOG "):
            numbers = [int(n) for n in rest[len("DIALOG "):].split(",")]
            self.templates.append(Template(size=tuple(numbers[2:4])))
        elif not self.templates:
            return
        elif where == "DIALOG_ParseTemplate32" and rest.startswith("CAPTION "):
            self.templates[-1].caption = parse_template_strings(rest)[0]
        elif where == "DIALOG_ParseTemplate32" and rest.startswith("FONT "):
            self.templates[-1].font = parse_template_strings(rest)[0]
        elif where == "DIALOG_GetControl32":
            control_class, control_text = parse_template_strings(rest)
            control_id = int(rest[rest.rfind('"') + 1:].split(",")[0])
            self.templates[-1].controls.append((control_class, control_text, control_id))
