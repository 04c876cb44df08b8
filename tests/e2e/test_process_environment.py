"""The process a launcher prepares before anything else: PATH with the
configured directories in front, the working directory of the configuration
(relative to the executable's directory, in its short lower-case form), and
the payload directory made current. Read from a launcher that waits in its
runtime-not-found dialog."""
import os
import re

from conftest import REGISTRY_KEY, pack, probe, reg_delete, reg_query, run_wine
from payload_support import Launch, process_state, the_payload_directory, windows_path

CAPTION = "Kestrel Environment"


def project(*lines, payload=()):
    """A windowed launcher; without payload files unless some are given."""
    return "\n".join(["[launcher]", 'type = "windowed"', *lines, "[payload]", *payload, "runtime_jar = false",
                      "[texts]", f'caption = "{CAPTION}"', ""])


def state_of_waiting_launcher(tmp_path, exe, **options):
    """cwd and PATH of a launcher while its runtime-not-found dialog is open;
    then Cancel. The flag of an unfinished earlier start is cleared first, so
    that no question comes before the dialog."""
    reg_delete(REGISTRY_KEY)
    process = Launch(tmp_path, exe, **options)
    try:
        return process_state(CAPTION)
    finally:
        probe(title=CAPTION, press=2, timeout=20)
        assert process.finish().returncode == 1


def unix_path(windows):
    result = run_wine(["winepath", "-u", windows])
    return result.stdout.decode().strip()


def short_lower_form(directory):
    """Checks that a directory text is in short (8.3), lower-case form."""
    assert directory == directory.lower(), directory
    for part in directory.rstrip("\\").split("\\")[1:]:
        assert " " not in part and re.fullmatch(r"[^.]{1,8}(\.[^.]{1,3})?", part), directory


def test_working_directory_dot_is_the_short_lower_case_executable_directory(tmp_path):
    home = tmp_path / "Long Directory Name"
    home.mkdir()
    exe = pack(tmp_path, project('working_directory = "."'), name="Long Directory Name/Kestrel Launcher.exe")
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    cwd, _ = state_of_waiting_launcher(tmp_path, exe, cwd=elsewhere)
    assert cwd.endswith("\\")
    short_lower_form(cwd)
    assert os.path.samefile(unix_path(cwd), home)


def test_relative_and_absolute_working_directories(tmp_path):
    (tmp_path / "work").mkdir()
    exe = pack(tmp_path, project('working_directory = "work"'))
    cwd, _ = state_of_waiting_launcher(tmp_path, exe, cwd="/")
    assert os.path.samefile(unix_path(cwd), tmp_path / "work")
    short_lower_form(cwd)

    absolute = tmp_path / "Absolute Place"
    absolute.mkdir()
    exe = pack(tmp_path, project(f'working_directory = "{windows_path(absolute).replace(chr(92), chr(92) * 2)}"'),
               name="absolute.exe")
    cwd, _ = state_of_waiting_launcher(tmp_path, exe, cwd="/")
    assert os.path.samefile(unix_path(cwd), absolute)
    assert cwd == cwd.lower()


def test_a_working_directory_that_does_not_exist_is_ignored(tmp_path):
    exe = pack(tmp_path, project('working_directory = "no such directory"'))
    cwd, _ = state_of_waiting_launcher(tmp_path, exe, cwd=tmp_path)
    assert os.path.samefile(unix_path(cwd), tmp_path)


def test_configured_directories_go_in_front_of_path(tmp_path):
    plain = pack(tmp_path, project(), name="plain.exe")
    _, old_path = state_of_waiting_launcher(tmp_path, plain)
    exe = pack(tmp_path, project('path_entries = ["lib", "C:\\\\tools"]'))
    _, path = state_of_waiting_launcher(tmp_path, exe)
    entries = path.split(";")
    assert entries[1:] == ["C:\\tools"] + old_path.split(";")
    assert entries[0].endswith("\\lib")
    short_lower_form(entries[0][:-len("\\lib")] + "\\")
    assert os.path.samefile(unix_path(entries[0][:-len("lib")]), tmp_path)


def test_a_list_ending_with_a_separator_gets_no_second_one(tmp_path):
    plain = pack(tmp_path, project(), name="plain.exe")
    _, old_path = state_of_waiting_launcher(tmp_path, plain)
    exe = pack(tmp_path, project() + '[keys]\n"10004" = "C:\\\\one;;C:\\\\two;"\n')
    _, path = state_of_waiting_launcher(tmp_path, exe)
    assert path == "C:\\one;C:\\two;" + old_path


def test_the_payload_directory_becomes_current(tmp_path):
    temp = tmp_path / "temp"
    temp.mkdir()
    exe = pack(tmp_path, project('working_directory = "."', payload=['files = ["data.txt"]']),
               files={"data.txt": "payload"})
    cwd, _ = state_of_waiting_launcher(tmp_path, exe, temp_dir=temp)
    directory = the_payload_directory(temp)
    assert cwd.rstrip("\\").lower() == windows_path(directory).lower()
    assert (directory / "data.txt").read_text() == "payload"


def test_quiet_start_looks_for_the_runtime_archive_in_the_working_directory(tmp_path):
    # With no payload the working directory of the configuration stays current,
    # and the runtime archive found there means no runtime search is started.
    (tmp_path / "work").mkdir()
    (tmp_path / "work" / "jre.tar.gz").write_bytes(b"")
    exe = pack(tmp_path, '[launcher]\ntype = "console"\nworking_directory = "work"\n[payload]\nruntime_jar = false\n')
    run = Launch(tmp_path, exe, "-q", cwd="/").finish()
    assert "no jre found" not in run.stdout
    assert reg_query(REGISTRY_KEY, "InstallStarted") is None
    # Whatever the archive leads to, a run without payload registers nothing:
    # an error reported on the way leaves no deletion list.
    assert reg_query(REGISTRY_KEY + "\\temp", "delete_file") is None
    assert reg_query(REGISTRY_KEY + "\\temp", "delete_dir") is None
