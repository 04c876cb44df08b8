"""Runtimes built for another machine than the launcher's: the headers of
their java.exe (before any probe) and of their jvm.dll (before loading) are
read, and such a runtime is passed over like one out of range: the search
goes on, no damaged message is shown. Files whose headers settle nothing (no
image, a cut header, a machine no runtime is built for) are left to the
system's loader as before."""
import pytest

from conftest import NO_JRE_FOUND, pack, run_launcher, windows_path
from runtime_doubles import (FOREIGN_MACHINE, LOADER_DRIVER, installed_runtime_key, loaded_libraries,  # noqa: F401
                             machine_registry, make_runtime, probes, reg_import, set_machine)

# ARM Thumb-2: a readable header of a machine the search does not name.
UNKNOWN_MACHINE = 0x01C4

MESSAGES = """
[messages]
no_runtime = "none found"
search_path_runtime_damaged = "path runtime damaged"
defined_path_runtime_damaged = "runtime at %DEFINED_PATH% damaged"
vm_start_failed = "vm failed"
"""


def driver(tmp_path, sequence):
    """loader-driver.exe with the search sequence: "search" reports failures."""
    project = f'[launcher]\ntype = "console"\n[keys]\n"128" = \'{sequence}\'\n' + MESSAGES
    return pack(tmp_path, project, name="driver.exe", stub=LOADER_DRIVER)


def lines(*texts):
    return "".join(text + "\r\n" for text in texts)


def foreign_runtime(home, version="17.0.9", java=True, library=True, **layout):
    """A runtime whose java.exe and/or jvm.dll say they are built for the
    machine the launcher cannot load."""
    make_runtime(home, version, **layout)
    if java:
        set_machine(home / "bin" / "java.exe", FOREIGN_MACHINE)
    if library:
        set_machine(home / "bin" / "client" / "jvm.dll", FOREIGN_MACHINE)
    return home


# For the 32-bit launcher (KESTREL_TEST_ARCH=x86): a 64-bit runtime first on
# the path, a 32-bit one in the registry's WOW64 view; for the 64-bit one the
# mirror: a 32-bit runtime on the path, a 64-bit one in the native view.
@pytest.mark.usefixtures("machine_registry")
def test_foreign_runtime_first_on_the_path_gives_way_to_the_registered_one(tmp_path, monkeypatch):
    exe = pack(tmp_path, '[launcher]\ntype = "console"\n[java]\nsearch_sequence = ["path", "registry"]\n')
    foreign_runtime(tmp_path / "foreign")
    make_runtime(tmp_path / "registered", "1.8.0_392")
    reg_import({installed_runtime_key("jre", ""): {"CurrentVersion": "1.8"},
                installed_runtime_key("jre", "1.8"): {"JavaHome": windows_path(tmp_path / "registered")}})
    monkeypatch.setenv("WINEPATH", windows_path(tmp_path / "foreign" / "bin"))
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout, run.stderr) == (0, "", ""), run
    assert loaded_libraries(tmp_path) == ["registered/bin/client"]
    assert probes(tmp_path / "foreign") == 0


def test_each_file_is_checked_and_the_search_goes_on(tmp_path, monkeypatch):
    exe = driver(tmp_path, "S;Ajava-only;Alibrary-only;Agood")
    # Only java.exe is foreign: its release file would give an accepted
    # version, so only the header check keeps it from being loaded.
    foreign_runtime(tmp_path / "onpath", library=False, release='JAVA_VERSION="17.0.9"\n')
    monkeypatch.setenv("WINEPATH", windows_path(tmp_path / "onpath" / "bin"))
    foreign_runtime(tmp_path / "java-only", library=False)
    # Only the library is foreign: java.exe is probed and accepted first.
    foreign_runtime(tmp_path / "library-only", java=False)
    make_runtime(tmp_path / "good", "17.0.9")
    run = run_launcher(exe, "search")
    assert (run.returncode, run.stdout, run.stderr) == (0, "loaded\r\n", ""), run
    assert loaded_libraries(tmp_path) == ["good/bin/client"]
    assert (probes(tmp_path / "onpath"), probes(tmp_path / "java-only"), probes(tmp_path / "library-only")) == (0, 0, 1)


def test_a_foreign_library_beside_a_loadable_one_is_left_to_the_loader(tmp_path):
    exe = driver(tmp_path, "Amixed;Aother")
    foreign_runtime(tmp_path / "mixed", java=False, vms=("client", "server"))
    make_runtime(tmp_path / "other", "17.0.9")
    run = run_launcher(exe, "search")
    assert (run.returncode, run.stdout, run.stderr) == (0, "loaded\r\n", ""), run
    assert loaded_libraries(tmp_path) == ["mixed/bin/server"]


def test_only_foreign_runtimes_end_as_not_found_without_damaged_messages(tmp_path, monkeypatch):
    sequence = "S;Aforeign"
    foreign_runtime(tmp_path / "foreign")
    foreign_runtime(tmp_path / "onpath", java=False)
    monkeypatch.setenv("WINEPATH", windows_path(tmp_path / "onpath" / "bin"))
    run = run_launcher(driver(tmp_path, sequence), "search")
    assert (run.returncode, run.stdout, run.stderr) == (1, "not loaded\r\n", lines("none found")), run
    launcher = pack(tmp_path, f'[launcher]\ntype = "console"\n[keys]\n"128" = \'{sequence}\'\n', name="app.exe")
    run = run_launcher(launcher, "-q")
    assert (run.returncode, run.stdout, run.stderr) == (83, NO_JRE_FOUND, ""), run
    assert loaded_libraries(tmp_path) == []


def cut_header(library):
    library.write_bytes(library.read_bytes()[:0x50])


def unknown_machine(library):
    set_machine(library, UNKNOWN_MACHINE)


def not_an_image(library):
    library.write_text("not a library\n")


@pytest.mark.parametrize("spoil", [cut_header, unknown_machine, not_an_image])
def test_libraries_the_headers_do_not_settle_are_left_to_the_loader(tmp_path, spoil):
    exe = driver(tmp_path, "Aspoilt;Agood")
    make_runtime(tmp_path / "spoilt", "17.0.9")
    spoil(tmp_path / "spoilt" / "bin" / "client" / "jvm.dll")
    make_runtime(tmp_path / "good", "17.0.9")
    run = run_launcher(exe, "search")
    # Accepted, so the search ends there; the loader refuses the library.
    assert (run.returncode, run.stdout) == (1, "not loaded\r\n"), run
    assert run.stderr == lines("runtime at spoilt damaged", "vm failed")
    assert loaded_libraries(tmp_path) == []
