"""Payload extraction at start-up: the fresh directory in the temporary
directory, the records and their names, damaged payloads, the internal error
codes 7, 11 and 13 by application type, and the deletion lists that error
reports leave in the registry."""
import os

import pytest

from conftest import NO_JRE_FOUND, pack, probe, reg_query
from payload_support import (INTERNAL_ERROR, TEMP_KEY, Launch, deletion_list, hand_made_launcher, launch,
                             payload_directories, payload_record, the_payload_directory, windows_path)

CONTENT = {
    "app.jar": os.urandom(3 * 8192 + 77),
    "keyed.bin": bytes([0x0B]) * 10 + b"plain bytes equal to the key",
    "empty.txt": b"",
}

PROJECT = """
[launcher]
type = "{type}"
[payload]
files = ["app.jar", "keyed.bin", "empty.txt"]
runtime_jar = false
[messages]
caption = "Kestrel Errors"
[texts]
caption = "Kestrel Setup"
installation_corrupted = "The installation is damaged."
"""


def packed(tmp_path, type="console"):
    return pack(tmp_path, PROJECT.format(type=type), CONTENT)


def hand_made(tmp_path, narrow, payload, type="0"):
    settings = {107: type, 1000: "Kestrel Errors", 1009: INTERNAL_ERROR}
    settings.update(narrow)
    return hand_made_launcher(tmp_path / "hand-made.exe", settings, {20013: "Kestrel Setup"}, payload)


def test_quiet_start_writes_every_file_into_a_fresh_directory(tmp_path):
    exe, temp = packed(tmp_path), tmp_path / "temp"
    temp.mkdir()
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert (run.returncode, run.stdout, run.stderr) == (83, NO_JRE_FOUND, "")
    directory = the_payload_directory(temp)  # the temporary file of its name is gone again
    assert sorted(p.name for p in directory.iterdir()) == ["app.jar", "keyed.bin"]  # no file for length 0
    for name in ("app.jar", "keyed.bin"):
        assert (directory / name).read_bytes() == CONTENT[name], name
    assert reg_query(TEMP_KEY, "delete_file") is None  # nothing reported, nothing recorded

    second = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert second.returncode == 83
    directories = payload_directories(temp)
    assert len(directories) == 2  # every start extracts anew into a new directory
    assert (directories[0] / "app.jar").read_bytes() == (directories[1] / "app.jar").read_bytes()


def test_stored_bytes_equal_to_the_key_come_out_as_zero_bytes(tmp_path):
    temp = tmp_path / "temp"
    temp.mkdir()
    exe = hand_made(tmp_path, {2002: "1", 2003: "zeros.bin;"},
                    b"\x03\x00\x00\x00" + bytes([0x0B]) * 3)
    assert launch(tmp_path, exe, "-q", temp_dir=temp).returncode == 83
    assert (the_payload_directory(temp) / "zeros.bin").read_bytes() == bytes(3)


def test_payload_behind_a_long_configuration_block_is_found(tmp_path):
    temp = tmp_path / "temp"
    temp.mkdir()
    # Records of odd lengths that together span many kilobytes, narrow and wide.
    narrow = {2002: "1", 2003: "after.bin;", 3001: "n" * 20001, 3002: "m" * 4097}
    wide = {20013: "Kestrel Setup", 20990: "w" * 9001}
    exe = hand_made_launcher(tmp_path / "long-block.exe", {107: "0", **narrow}, wide, payload_record(b"found"))
    assert launch(tmp_path, exe, "-q", temp_dir=temp).returncode == 83
    assert (the_payload_directory(temp) / "after.bin").read_bytes() == b"found"


@pytest.mark.parametrize("count, names, expected", [
    ("2", "a.txt;b.txt;c.txt;", ["a.txt", "b.txt"]),  # more names than records to extract
    ("3", "a.txt;;b.txt", ["a.txt", "b.txt"]),        # fewer names: empty names are skipped
    ("3", "a.txt;b.txt;c.txt;", ["a.txt", "b.txt", "c.txt"]),
    (" 2 files", "a.txt;b.txt;c.txt;", ["a.txt", "b.txt"]),  # the count is read as a number
])
def test_count_and_names_decide_what_is_extracted(tmp_path, count, names, expected):
    temp = tmp_path / "temp"
    temp.mkdir()
    records = payload_record(b"first") + payload_record(b"second") + payload_record(b"third")
    exe = hand_made(tmp_path, {2002: count, 2003: names}, records + b"bytes behind the records")
    assert launch(tmp_path, exe, "-q", temp_dir=temp).returncode == 83
    directory = the_payload_directory(temp)
    assert sorted(p.name for p in directory.iterdir()) == expected
    assert (directory / expected[-1]).read_bytes() == [b"first", b"second", b"third"][len(expected) - 1]


def test_a_negative_count_creates_the_directory_but_no_file(tmp_path):
    temp = tmp_path / "temp"
    temp.mkdir()
    exe = hand_made(tmp_path, {2002: "-1", 2003: "a.txt;"}, payload_record(b"first"))
    assert launch(tmp_path, exe, "-q", temp_dir=temp).returncode == 83
    assert list(the_payload_directory(temp).iterdir()) == []


def test_a_count_of_zero_creates_nothing(tmp_path):
    temp = tmp_path / "temp"
    temp.mkdir()
    exe = hand_made(tmp_path, {2003: "a.txt;"}, payload_record(b"first"))
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND)
    assert list(temp.iterdir()) == []


def test_records_of_length_zero_or_less_are_registered_but_not_created(tmp_path):
    # The last name cannot be created (no such subdirectory): error 11 reports,
    # and the report writes the deletion list of every file registered so far.
    temp = tmp_path / "temp"
    temp.mkdir()
    records = (payload_record(b"") + payload_record(b"", length=-5) + payload_record(b"kept") +
               payload_record(b"never"))
    exe = hand_made(tmp_path, {2002: "4", 2003: "empty.txt;negative.txt;kept.txt;missing\\x.txt;"}, records)
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert (run.returncode, run.stdout, run.stderr) == (1, "", "An internal error occurred (error code: 11)\r\n")
    directory = the_payload_directory(temp)
    assert [p.name for p in directory.iterdir()] == ["kept.txt"]
    prefix = windows_path(directory) + "\\"
    assert [entry.lower() for entry in deletion_list("delete_file")] == [
        (prefix + name).lower() for name in ("empty.txt", "negative.txt", "kept.txt", "missing\\x.txt")]
    assert deletion_list("delete_dir") is None  # the directory is registered only after all files


def test_deletion_lists_grow_with_every_reporting_run(tmp_path):
    temp = tmp_path / "temp"
    temp.mkdir()
    exe = hand_made(tmp_path, {2002: "2", 2003: "a.txt;sub\\b.txt;"}, payload_record(b"a") + payload_record(b"b"))
    assert launch(tmp_path, exe, "-q", temp_dir=temp).returncode == 1
    first = deletion_list("delete_file")
    assert launch(tmp_path, exe, "-q", temp_dir=temp).returncode == 1
    both = deletion_list("delete_file")
    directories = payload_directories(temp)
    assert len(first) == 2 and both[:2] == first and len(both) == 4
    runs = sorted([both[:2], both[2:]])
    assert [[entry.lower() for entry in run] for run in runs] == [
        [(windows_path(d) + "\\" + name).lower() for name in ("a.txt", "sub\\b.txt")] for d in directories]


def test_an_error_after_a_complete_extraction_records_files_then_the_directory(tmp_path):
    # A runtime archive among the payload files takes the sequence past the
    # runtime search; it unpacks to no usable runtime, so the runtime check
    # reports (recording the deletion lists) and the process ends through
    # ExitLauncher with code 83 (recording them once more).
    exe = pack(tmp_path, '[launcher]\ntype = "console"\n[payload]\nfiles = ["a.txt", "jre.tar.gz"]\n'
               'runtime_jar = false\n', {"a.txt": "a", "jre.tar.gz": b"not an archive"})
    temp = tmp_path / "temp"
    temp.mkdir()
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert run.returncode == 83 and run.stderr and "no jre found" not in run.stdout
    directory = windows_path(the_payload_directory(temp))
    files = [(directory + "\\" + name).lower() for name in ("a.txt", "jre.tar.gz")]
    assert [entry.lower() for entry in deletion_list("delete_file")] == files * 2
    assert [entry.lower() for entry in deletion_list("delete_dir")] == [directory.lower()] * 2


def test_a_truncated_last_record_ends_a_quiet_start_silently(tmp_path):
    exe, temp = packed(tmp_path), tmp_path / "temp"
    temp.mkdir()
    # Cut into app.jar's content (the empty.txt record, 4 bytes, and keyed.bin's come after it).
    exe.write_bytes(exe.read_bytes()[:-(4 + 4 + len(CONTENT["keyed.bin"]) + 100)])
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert (run.returncode, run.stdout, run.stderr) == (1, "", "")
    directory = the_payload_directory(temp)
    assert (directory / "app.jar").read_bytes() == CONTENT["app.jar"][:-100]  # what was read stays
    assert reg_query(TEMP_KEY, "delete_file") is None  # this end records nothing


def test_a_truncated_last_record_shows_the_corrupted_installation_box(tmp_path):
    exe, temp = packed(tmp_path, type="installer"), tmp_path / "temp"
    temp.mkdir()
    exe.write_bytes(exe.read_bytes()[:-10])  # inside keyed.bin, the last record with content
    process = Launch(tmp_path, exe, temp_dir=temp)
    box = probe(press=1, timeout=20)
    run = process.finish()
    assert (box.caption, box.message, box.owner) == ("Kestrel Setup", "The installation is damaged.",
                                                     "Kestrel Setup")  # owned by the progress dialog
    assert (run.returncode, run.stdout, run.stderr) == (1, "", "")
    assert reg_query(TEMP_KEY, "delete_file") is None


def test_a_cut_record_length_is_an_internal_read_error(tmp_path):
    temp = tmp_path / "temp"
    temp.mkdir()
    exe = hand_made(tmp_path, {2002: "2", 2003: "a.txt;b.txt;"}, payload_record(b"a") + b"\x05\x00")
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert (run.returncode, run.stderr) == (1, "Internal Error: readInt\r\n")
    # b.txt was registered before its length was read; the report recorded both.
    assert [entry.rsplit("\\", 1)[1] for entry in deletion_list("delete_file")] == ["a.txt", "b.txt"]


# The three internal errors of extraction, and how each application type reports them.

def directory_failure(tmp_path, type):
    """A temporary directory so long that a file fits in it but "_dir" and
    the number make the directory's path too long to be created."""
    parent = tmp_path / "t"
    parent.mkdir()
    temp = parent / ("d" * (245 - len(windows_path(parent)) - 1))
    temp.mkdir()
    exe = hand_made(tmp_path, {2002: "1", 2003: "a.txt;"}, payload_record(b"a"), type)
    return exe, {"temp_dir": temp}, "7"


def file_failure(tmp_path, type):
    temp = tmp_path / "temp"
    temp.mkdir()
    exe = hand_made(tmp_path, {2002: "2", 2003: "a.txt;no-such-dir\\b.txt;"},
                    payload_record(b"a") + payload_record(b"b"), type)
    return exe, {"temp_dir": temp}, "11"


def write_failure(tmp_path, type):
    temp = tmp_path / "temp"
    temp.mkdir()
    exe = hand_made(tmp_path, {2002: "1", 2003: "big.bin;"}, payload_record(os.urandom(200_000)), type)
    return exe, {"temp_dir": temp, "file_size_limit": 65536}, "13"


FAILURES = pytest.mark.parametrize("failure", [directory_failure, file_failure, write_failure],
                                   ids=["code7", "code11", "code13"])


@FAILURES
def test_console_type_reports_the_code_on_standard_error(tmp_path, failure):
    exe, options, code = failure(tmp_path, "0")
    run = launch(tmp_path, exe, "-q", **options)
    assert (run.returncode, run.stdout, run.stderr) == (1, "", f"An internal error occurred (error code: {code})\r\n")


@FAILURES
@pytest.mark.parametrize("type", ["1", "5"], ids=["windowed", "installer"])
def test_windowed_types_report_the_code_in_a_message_box(tmp_path, failure, type):
    exe, options, code = failure(tmp_path, type)
    process = Launch(tmp_path, exe, **options)
    box = probe(press=1, title="Kestrel Errors", timeout=20)
    run = process.finish()
    assert box.message == f"An internal error occurred (error code: {code})"
    assert (run.returncode, run.stdout, run.stderr) == (1, "", "")


@FAILURES
def test_the_quiet_switch_sends_a_windowed_launcher_s_errors_to_standard_error(tmp_path, failure):
    exe, options, code = failure(tmp_path, "1")
    run = launch(tmp_path, exe, "-q", **options)
    assert (run.returncode, run.stderr) == (1, f"An internal error occurred (error code: {code})\r\n")


def test_what_each_failure_leaves_in_the_deletion_lists(tmp_path):
    for name in ("7", "13"):
        (tmp_path / name).mkdir()
    exe, options, _ = directory_failure(tmp_path / "7", "0")
    assert launch(tmp_path, exe, "-q", **options).returncode == 1
    assert reg_query(TEMP_KEY, "delete_file") is None  # nothing was registered yet

    exe, options, _ = write_failure(tmp_path / "13", "0")
    assert launch(tmp_path, exe, "-q", **options).returncode == 1
    directory = the_payload_directory(options["temp_dir"])
    assert (directory / "big.bin").stat().st_size == 65536  # written up to the limit
    assert [entry.lower() for entry in deletion_list("delete_file")] == [
        (windows_path(directory) + "\\big.bin").lower()]
    assert deletion_list("delete_dir") is None
