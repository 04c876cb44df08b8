"""The stub's resources as Windows reads them: the two dialog templates
control by control, the icon group and the manifest. Parsed straight from the
built executable's resource section."""
import struct

from conftest import STUB

RT_ICON_GROUP, RT_DIALOG, RT_MANIFEST = 14, 5, 24
# Predefined control classes may be stored by ordinal or by name.
CLASS_ORDINALS = {0x80: "button", 0x82: "static"}


def read_resources(path):
    """{(type, name): bytes} for the first language of every resource."""
    image = path.read_bytes()
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections = struct.unpack_from("<H", image, pe + 6)[0]
    table = pe + 24 + struct.unpack_from("<H", image, pe + 20)[0]
    for i in range(sections):
        name, _, rva, _, raw = struct.unpack_from("<8sIIII", image, table + 40 * i)
        if name.rstrip(b"\0") == b".rsrc":
            break
    to_file = raw - rva

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", image, raw + offset + 12)
        for n in range(named + numbered):
            ident, target = struct.unpack_from("<II", image, raw + offset + 16 + 8 * n)
            if ident & 0x80000000:
                at = raw + (ident & 0x7FFFFFFF)
                length = struct.unpack_from("<H", image, at)[0]
                ident = image[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield ident, target

    found = {}
    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            _, leaf = next(entries(languages & 0x7FFFFFFF))
            data_rva, size = struct.unpack_from("<II", image, raw + leaf)
            found[(kind, name)] = image[data_rva + to_file:data_rva + to_file + size]
    return found


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def name_or_ordinal(self):
        first = struct.unpack_from("<H", self.data, self.at)[0]
        if first == 0xFFFF:
            self.at += 2
            return self.take("H")[0]
        return self.text()

    def align(self):
        self.at = (self.at + 3) & ~3


def parse_dialog(data):
    r = Reader(data)
    version, signature, _, exstyle, style, count, x, y, cx, cy = r.take("HHIIIHhhhh")
    assert (version, signature) == (1, 0xFFFF), "not an extended dialog template"
    menu, window_class, title = r.name_or_ordinal(), r.name_or_ordinal(), r.text()
    points, weight, italic, charset = r.take("HHBB")
    dialog = dict(exstyle=exstyle, style=style, frame=(x, y, cx, cy), menu=menu,
                  window_class=window_class, title=title, font=(r.text(), points))
    controls = []
    for _ in range(count):
        r.align()
        _, ex, st, x, y, cx, cy, ident = r.take("IIIhhhhi")
        cls, text = r.name_or_ordinal(), r.name_or_ordinal()
        extra = r.take("H")[0]
        r.at += extra
        cls = CLASS_ORDINALS[cls] if isinstance(cls, int) else cls.lower()
        controls.append((ident, cls, text, st, ex, (x, y, cx, cy)))
    return dialog, controls


def test_progress_dialog_template():
    dialog, controls = parse_dialog(read_resources(STUB)[(RT_DIALOG, 103)])
    assert dialog["style"] == 0x80CA00CC
    assert dialog["exstyle"] == 0x00040000
    assert dialog["frame"] == (22, 17, 233, 74)
    # Window class names compare without regard to case; the resource
    # compiler stores them in capitals.
    assert dialog["window_class"].lower() == "mydlgclass"
    assert dialog["title"] == ""
    assert dialog["font"] == ("MS Shell Dlg", 8)
    layout = [(c[0], c[1], c[3], c[5]) for c in controls]
    assert layout == [
        (1003, "static", 0x50000080, (46, 6, 176, 29)),
        (1001, "msctls_progress32", 0x50800000, (6, 56, 162, 10)),
        (1002, "static", 0x40000080, (6, 45, 154, 8)),
        (2, "button", 0x50030000, (173, 54, 50, 14)),
        (-1, "static", 0x50000003, (13, 10, 0, 0)),
    ]
    assert controls[4][2] == "MAINICO"


def test_runtime_not_found_dialog_template():
    dialog, controls = parse_dialog(read_resources(STUB)[(RT_DIALOG, 104)])
    assert dialog["style"] == 0x80C800C8
    assert dialog["exstyle"] == 0
    assert dialog["frame"] == (0, 0, 233, 74)
    assert dialog["window_class"] == ""  # the standard dialog class
    assert dialog["font"] == ("MS Shell Dlg", 8)
    layout = [(c[0], c[1], c[3], c[5]) for c in controls]
    assert layout == [
        (1004, "button", 0x50010001, (61, 54, 50, 14)),
        (1005, "button", 0x50010000, (117, 54, 50, 14)),
        (2, "button", 0x50010000, (173, 54, 50, 14)),
        (1003, "static", 0x50020000, (46, 6, 176, 40)),
        (-1, "static", 0x50000003, (13, 10, 0, 0)),
    ]
    assert controls[3][2] != ""  # a placeholder text until the real one is set
    assert controls[4][2] == "MAINICO"


def test_icon_group_has_the_ten_images():
    group = read_resources(STUB)[(RT_ICON_GROUP, "MAINICO")]
    reserved, kind, count = struct.unpack_from("<HHH", group, 0)
    assert (reserved, kind, count) == (0, 1, 10)
    images = set()
    for i in range(count):
        width, height, _, _, _, bits, _, _ = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        images.add((width, height, bits))
    expected = {(s, s, b) for s in (16, 24, 32, 48) for b in (8, 32)} | {(16, 16, 4), (32, 32, 4)}
    assert images == expected


def test_manifest_names_the_assembly_and_common_controls_6():
    manifest = read_resources(STUB)[(RT_MANIFEST, 1)].decode()
    assert 'name="jredl" version="1.0.0.0" processorArchitecture="X86"' in manifest
    assert 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in manifest
