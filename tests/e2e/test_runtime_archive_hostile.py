"""Hostile and broken runtime archives against the launcher: device names,
a file over a directory and the reverse, duplicate entries, bad checksums,
garbage and huge sizes, empty, foreign and damaged streams, an archive that
expands far beyond its declared size or past the free space of its drive,
and the user's Cancel while it is unpacked. Each ends with its message (or
starts the application) and leaves no archive and no partial runtime."""
import gzip
import subprocess
import time

import pytest

from conftest import NO_JRE_FOUND, finish, probe
from payload_support import Launch, payload_directories
from test_runtime_archive import (BLOCK, Runtime, assert_unpacked_and_started, directory, entry, launcher, start, tar,
                                  tree)

NO_RUNTIME = "No runtime\r\n"


def header_with(field_offset, text, name="bin/garbage.bin", size=16):
    """A header whose bytes at `field_offset` are replaced (checksum kept
    right unless the checksum field itself is replaced)."""
    block = bytearray(entry(name, bytes(size))[:BLOCK])
    block[field_offset:field_offset + len(text)] = text
    if field_offset != 148:
        block[148:156] = b" " * 8
        block[148:155] = b"%06o\0" % sum(block)
    return bytes(block) + bytes(size) + bytes(-size % BLOCK)


def assert_nothing_left(jre):
    assert list(jre.parent.iterdir()) == []


# "COM\udcb9" is written as the byte B9 after "COM": no UTF-8, so read in the
# ANSI code page (Windows-1252), where it is COM with a superscript one.
@pytest.mark.parametrize("names", [["CON", "aux.txt", "NUL"], ["bin/con.txt", "COM1", "lpt9.log", "COM\udcb9"],
                                   ["CONIN$", "lib/CONOUT$", "Prn.dat", "com3"]], ids=["con-aux-nul", "nested-com-lpt",
                                                                                    "console-printer"])
def test_device_names_are_skipped_and_the_runtime_starts(tmp_path, names):
    runtime = Runtime(tmp_path / "staging")
    archive = gzip.compress(tar(tree(runtime.home) + [entry(name, b"to a device?") for name in names]
                                + [directory("AUX"), entry("after.txt", b"after")]))
    run, jre = start(tmp_path, archive)
    assert_unpacked_and_started(run, jre, runtime, {"after.txt": b"after"})


def test_a_directory_over_a_file_ends_the_process_and_leaves_nothing(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    archive = gzip.compress(tar([entry("lib", b"a file")] + tree(runtime.home) + [directory("lib")]))
    run, jre = start(tmp_path, archive)
    assert (run.returncode, run.stdout, run.stderr) == (1, "", "Could not write file lib\r\n\r\n")
    assert_nothing_left(jre)


def test_a_later_entry_of_the_same_name_wins(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    archive = gzip.compress(tar([directory("bin"), directory("bin/client"), entry("bin/client/jvm.dll", b"broken"),
                                 entry("bin/java.exe", b"broken")] + tree(runtime.home)))
    run, jre = start(tmp_path, archive)
    assert_unpacked_and_started(run, jre, runtime)


def break_check_sum(compressed):
    return compressed[:-8] + bytes([compressed[-8] ^ 0x55]) + compressed[-7:]


DAMAGED = {
    "bad-checksum": lambda home: gzip.compress(tar(tree(home) + [header_with(148, b"0000000\0")])),
    "garbage-size": lambda home: gzip.compress(tar(tree(home) + [header_with(124, b"0000000x012")])),
    "huge-size": lambda home: gzip.compress(tar(tree(home) + [header_with(124, b"77777777777")])),
    "no-ustar-magic": lambda home: gzip.compress(tar(tree(home) + [header_with(257, b"gnutar")])),
    "wrong-gzip-check-sum": lambda home: break_check_sum(gzip.compress(tar(tree(home)))),
    "cut-inside-the-end": lambda home: gzip.compress(tar(tree(home)))[:-3],
    "html-page": lambda home: b"<html><body>404 Not Found</body></html>\n",
    "empty-gzip": lambda home: gzip.compress(b""),
}


@pytest.mark.parametrize("make", DAMAGED.values(), ids=DAMAGED.keys())
def test_a_damaged_archive_ends_with_83_and_leaves_nothing(tmp_path, make):
    runtime = Runtime(tmp_path / "staging")
    run, jre = start(tmp_path, make(runtime.home))
    assert (run.returncode, run.stdout, run.stderr) == (83, "", NO_RUNTIME)
    assert_nothing_left(jre)
    assert not runtime.double.calls()


def test_an_empty_archive_is_no_archive_and_the_quiet_start_ends_with_83(tmp_path):
    """The payload writes no file for no content: the search runs, finds
    nothing, and the quiet start ends as it does without a runtime."""
    run, jre = start(tmp_path, b"")
    assert (run.returncode, run.stdout, run.stderr) == (83, NO_JRE_FOUND, "")
    assert_nothing_left(jre)


def bomb(home, size):
    """The runtime, then one file of `size` zero bytes (tiny once compressed)."""
    return gzip.compress(tar(tree(home)) [:-2 * BLOCK] + entry("lib/zeros.bin", bytes(size)) + bytes(2 * BLOCK),
                         compresslevel=9)


def test_an_archive_that_expands_far_beyond_its_declared_size_is_not_unpacked(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    archive = bomb(runtime.home, 80 << 20)
    assert len(archive) < 300_000
    run, jre = start(tmp_path, archive, runtime="[runtime]\narchive_size = 100000\n")
    assert (run.returncode, run.stdout) == (83, "")
    assert run.stderr == "The runtime archive expands far beyond its declared size; it was not unpacked.\r\n"
    assert_nothing_left(jre)


@pytest.fixture
def small_drive(tmp_path):
    """A 24 MB file system for the temporary directory; skipped where this
    machine does not let the test mount one."""
    mount_point = tmp_path / "small-drive"
    mount_point.mkdir()
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=24m", "tmpfs", mount_point], capture_output=True)
    if mounted.returncode != 0:
        pytest.skip(f"cannot mount a small file system here: {mounted.stderr.decode().strip()}")
    yield mount_point
    subprocess.run(["umount", mount_point])


def test_an_archive_that_expands_past_the_free_space_is_stopped(tmp_path, small_drive):
    runtime = Runtime(tmp_path / "staging")
    exe = launcher(tmp_path, bomb(runtime.home, 40 << 20))
    run = Launch(tmp_path, exe, "-q", temp_dir=small_drive).finish()
    assert (run.returncode, run.stdout) == (83, "")
    assert run.stderr == "There is not enough free disk space to unpack the runtime archive.\r\n"
    [payload] = payload_directories(small_drive)
    assert list(payload.iterdir()) == []


def test_cancel_while_the_archive_is_unpacked_leaves_nothing(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    # Thousands of small files: slow enough to be cancelled in the middle.
    many = [entry(f"lib/many/{i // 100}/file{i}.txt", b"%d" % i * 200) for i in range(6000)]
    exe = launcher(tmp_path, gzip.compress(tar(tree(runtime.home) + many)))
    temp = tmp_path / "temp"
    temp.mkdir()
    process = Launch(tmp_path, exe, temp_dir=temp)
    deadline = time.monotonic() + 30
    while not list(temp.glob("*/jre.partial/lib/many/*")) and time.monotonic() < deadline:
        time.sleep(0.05)
    assert list(temp.glob("*/jre.partial/lib/many/*")), "the extraction did not start"
    probe(window_class="MyDlgClass", press=2)
    run = finish(process, timeout=60)
    assert run.returncode == 0
    [payload] = payload_directories(temp)
    assert list(payload.iterdir()) == []
    assert not runtime.double.calls()
