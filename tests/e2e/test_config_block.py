"""The launcher reading its own configuration block: damaged and foreign
blocks end the process with the fixed internal error texts in a message box,
whatever the switches and the application type."""
import struct

import pytest

from conftest import NO_JRE_FOUND, STUB, finish, pack, probe, run_launcher, start_launcher

MAGIC = struct.pack("<I", 0xE8E413D5)


def launcher_with_block(tmp_path, block):
    """A copy of the stub with `block` appended as its configuration block."""
    exe = tmp_path / "damaged.exe"
    exe.write_bytes(STUB.read_bytes() + block)
    return exe


def record(key, value):
    return struct.pack("<ii", key, len(value)) + value


def expect_error_box(exe, text, caption="", *args):
    process = start_launcher(exe, *args)
    box = probe(press=1)
    run = finish(process)
    assert (box.caption, box.message) == (caption, text)
    assert run.returncode == 1
    assert run.stdout == "" and run.stderr == ""


@pytest.mark.parametrize("block, text", [
    (b"", "Internal Error: readInt"),
    (b"\x00\x01", "Internal Error: readInt"),
    (struct.pack("<I", 0x12345678) + bytes(8), "Internal Error: magic"),
    (MAGIC, "Internal Error: readInt"),
    (MAGIC + struct.pack("<i", 1) + struct.pack("<i", 107), "Internal Error: readInt"),
    (MAGIC + struct.pack("<i", 1) + struct.pack("<ii", 107, 5) + b"ab", "Internal Error: readString"),
    (MAGIC + struct.pack("<i", 1) + struct.pack("<ii", 107, -1) + bytes(8), "Internal Error: readString"),
    (MAGIC + struct.pack("<i", 0) + struct.pack("<i", 1) + struct.pack("<ii", 20001, 10) + b"a\0",
     "Internal Error: readWString"),
    (MAGIC + struct.pack("<i", 0) + struct.pack("<i", 1) + struct.pack("<ii", 20001, -4),
     "Internal Error: readWString"),
], ids=["empty", "short-magic", "wrong-magic", "no-counts", "cut-record", "cut-value",
        "negative-length", "cut-wide-value", "negative-wide-length"])
def test_damaged_block_shows_internal_error_box(tmp_path, block, text):
    # The application type is not known yet, and "-q" is read only after the
    # block, so even a quiet start reports in a message box.
    expect_error_box(launcher_with_block(tmp_path, block), text, "", "-q")


def test_caption_comes_from_the_block_when_read_before_the_damage(tmp_path):
    block = MAGIC + struct.pack("<i", 3) + record(107, b"0") + record(1000, b"My App") + \
        struct.pack("<ii", 1001, 50) + b"cut short"
    expect_error_box(launcher_with_block(tmp_path, block), "Internal Error: readString", "My App")


def test_bare_stub_reports_a_missing_block(tmp_path):
    exe = tmp_path / "bare.exe"
    exe.write_bytes(STUB.read_bytes())
    expect_error_box(exe, "Internal Error: readInt")


def test_bytes_behind_the_payload_do_not_disturb_loading(tmp_path):
    exe = pack(tmp_path, '[launcher]\ntype = "console"\n')
    with open(exe, "ab") as out:
        out.write(b"\xff" * 4096)
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND)
