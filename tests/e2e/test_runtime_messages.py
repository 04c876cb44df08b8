"""Runtime loading with errors reported, in its three calling modes (the
automatic search, a runtime directory, a chosen file that may be the
executable), driven by loader-driver.exe: which message each kind of source
shows when its runtime's library cannot be used, and with what placeholder."""
import pytest

from conftest import finish, pack, probe, run_launcher, start_launcher, windows_path
from runtime_doubles import (LOADER_DRIVER, loaded_libraries, located_key, machine_registry,  # noqa: F401
                             make_runtime, reg_import)

MESSAGES = """
[messages]
caption = "Runtime trouble"
no_runtime = "none found"
search_path_runtime_damaged = "path runtime damaged"
env_runtime_invalid = "variable %ENV_VAR_NAME% unusable, %ENV_VAR_NAME% kept"
defined_path_runtime_damaged = "runtime at %DEFINED_PATH% damaged"
vm_start_failed = "vm failed"
"""


def driver(tmp_path, sequence="", launcher_type="console"):
    keys = f"[keys]\n\"128\" = '{sequence}'\n" if sequence else ""
    return pack(tmp_path, f'[launcher]\ntype = "{launcher_type}"\n' + keys + MESSAGES, name="driver.exe",
                stub=LOADER_DRIVER)


def lines(*texts):
    """Standard error as the C runtime writes it (text mode)."""
    return "".join(text + "\r\n" for text in texts)


@pytest.mark.parametrize("sequence, messages", [
    ("EKT_HOME", ["variable KT_HOME unusable, %ENV_VAR_NAME% kept", "vm failed"]),
    ("S", ["path runtime damaged", "vm failed"]),
    ("Abroken", ["runtime at broken damaged", "vm failed"]),
    ("Rbroken\\", ["runtime at broken\\ damaged", "vm failed"]),
])
def test_each_source_names_itself_when_its_library_fails(tmp_path, monkeypatch, sequence, messages):
    exe = driver(tmp_path, sequence)
    make_runtime(tmp_path / "broken", library="jvm-without-entry.dll")
    monkeypatch.setenv("KT_HOME", windows_path(tmp_path / "broken"))
    monkeypatch.setenv("WINEPATH", windows_path(tmp_path / "broken" / "bin"))
    run = run_launcher(exe, "search")
    assert (run.returncode, run.stdout, run.stderr) == (1, "not loaded\r\n", lines(*messages))
    assert loaded_libraries(tmp_path) == ["broken/bin/client"]


@pytest.mark.usefixtures("machine_registry")
def test_registry_runtime_shows_only_the_start_failure(tmp_path):
    exe = driver(tmp_path, "Y")
    make_runtime(tmp_path / "broken", library="jvm-without-entry.dll")
    reg_import({located_key("HKEY_CURRENT_USER", windows_path(tmp_path / "broken/bin/java.exe")): {}})
    run = run_launcher(exe, "search")
    assert (run.returncode, run.stderr) == (1, lines("vm failed"))


def test_runtime_files_and_product_variable_name_their_source(tmp_path, monkeypatch):
    exe = driver(tmp_path)
    make_runtime(tmp_path / "broken", vms=())  # no library at all
    monkeypatch.setenv("KESTREL_JAVA_HOME", windows_path(tmp_path / "broken"))
    run = run_launcher(exe, "search")
    assert run.stderr == lines("variable KESTREL_JAVA_HOME unusable, %ENV_VAR_NAME% kept", "vm failed")
    (tmp_path / ".tanager").mkdir()
    (tmp_path / ".tanager" / "pref_jre.cfg").write_text("broken\n")
    run = run_launcher(exe, "search")
    assert run.stderr == lines("runtime at broken damaged", "vm failed")


def test_nothing_found_shows_the_not_found_message_only(tmp_path, monkeypatch):
    exe = driver(tmp_path, "Amissing;EKT_UNSET;S")
    monkeypatch.delenv("KT_UNSET", raising=False)
    run = run_launcher(exe, "search")
    assert (run.returncode, run.stdout, run.stderr) == (1, "not loaded\r\n", lines("none found"))


def test_runtime_directory_mode(tmp_path):
    exe = driver(tmp_path, "Aignored")
    make_runtime(tmp_path / "good")
    make_runtime(tmp_path / "broken", library="jvm-without-entry.dll")
    make_runtime(tmp_path / "ignored")
    run = run_launcher(exe, "home", windows_path(tmp_path / "good"))
    assert (run.returncode, run.stdout, run.stderr) == (0, "loaded\r\n", "")
    run = run_launcher(exe, "home", "broken")
    assert (run.returncode, run.stderr) == (1, lines("runtime at broken damaged", "vm failed"))
    # A Java executable is not a runtime directory in this mode.
    run = run_launcher(exe, "home", windows_path(tmp_path / "good/bin/java.exe"))
    assert (run.returncode, run.stderr) == (1, lines("none found"))
    assert loaded_libraries(tmp_path) == ["broken/bin/client", "good/bin/client"]


def test_chosen_file_mode_takes_the_executable_or_a_directory(tmp_path):
    exe = driver(tmp_path, "Aignored")
    make_runtime(tmp_path / "beta", "1.7.0-beta")  # named by hand: beta is fine
    make_runtime(tmp_path / "home", "1.6.0")
    make_runtime(tmp_path / "ignored")
    run = run_launcher(exe, "pick", windows_path(tmp_path / "beta/bin/java.exe"))
    assert (run.returncode, run.stdout, run.stderr) == (0, "loaded\r\n", "")
    run = run_launcher(exe, "pick", windows_path(tmp_path / "home"))
    assert (run.returncode, run.stdout, run.stderr) == (0, "loaded\r\n", "")
    chosen = windows_path(tmp_path / "nothing.exe")
    run = run_launcher(exe, "pick", chosen)
    assert (run.returncode, run.stderr) == (1, lines("none found"))
    assert loaded_libraries(tmp_path) == ["beta/bin/client", "home/bin/client"]


def test_windowed_type_reports_in_message_boxes(tmp_path):
    exe = driver(tmp_path, "Abroken", launcher_type="windowed")
    make_runtime(tmp_path / "broken", library="jvm-without-entry.dll", javaw=True)
    process = start_launcher(exe, "search")
    first = probe(press=1)
    second = probe(press=1)
    run = finish(process)
    assert (first.caption, first.message) == ("Runtime trouble", "runtime at broken damaged")
    assert (second.caption, second.message) == ("Runtime trouble", "vm failed")
    assert (run.returncode, run.stderr) == (1, "")
