"""One running process per executable path. A first launcher in dialog mode
without a runtime stays up with its progress dialog ("MyDlgClass") and the
modal runtime-not-found dialog until Cancel is pressed; a second start of the
same executable brings those windows forward, leaves an empty communication
file named with the first's process id, and ends with exit code 0.

instance-probe.exe shows the first's windows (minimised? in front?),
minimises them and holds the foreground elsewhere beforehand, and looks up
the instance semaphore."""
import shutil
import time
from pathlib import Path

import pytest

from conftest import (WINTEST, BUILD, NO_JRE_FOUND, REGISTRY_KEY, WineProcess, finish, pack, probe, reg, reg_add,
                      run_launcher, run_wine, start_launcher, windows_path)

INSTANCE_PROBE = WINTEST / "instance-probe.exe"
PIDS_KEY = REGISTRY_KEY + r"\pids"
CAPTION = "Kestrel Setup"
PROJECT = f"""
[launcher]
type = "installer"
[texts]
caption = "{CAPTION}"
"""
# Long enough to have a short name different from its long one.
LAUNCHER_NAME = "single-instance-launcher.exe"


def instance_pids():
    """The "pids" registry values: executable path -> process id."""
    result = reg("query", PIDS_KEY)
    values = {}
    for line in result.stdout.decode("latin-1").splitlines():
        parts = line.strip().rsplit(None, 2)
        if len(parts) == 3 and parts[1] == "REG_DWORD":
            values[parts[0]] = int(parts[2], 16)
    return values


def run_probe(*args):
    return run_wine([INSTANCE_PROBE, *args])


def process_windows(pid):
    """class -> (minimised, in front) of each visible top-level window."""
    states = {}
    for line in run_probe("windows", pid).stdout.decode("utf-8").splitlines():
        _, iconic, foreground, window_class, _title = line.split(" ", 4)
        states[window_class] = (iconic == "1", foreground == "1")
    return states


def short_path(exe):
    return run_probe("short-path", windows_path(exe)).stdout.decode().strip()


def semaphore_exists(name):
    return run_probe("semaphore", name).returncode == 0


def wait_for(condition, timeout=15):
    deadline = time.monotonic() + timeout
    while not condition():
        assert time.monotonic() < deadline, "condition not reached"
        time.sleep(0.1)


@pytest.fixture(scope="module")
def temp_dir():
    """The Linux path of the temporary directory the launchers see."""
    windows_dir = run_probe("temp-dir").stdout.decode().strip()
    return Path(run_wine(["winepath", "-u", windows_dir]).stdout.decode().strip())


class FirstLauncher:
    """A dialog-mode launcher kept up by its runtime-not-found dialog."""

    def __init__(self, exe):
        self.process = start_launcher(exe)
        probe(title=CAPTION, timeout=20)  # waits for the not-found dialog
        wait_for(lambda: len(instance_pids()) > 0)

    def cancel(self):
        probe(title=CAPTION, press=2)
        return finish(self.process)

    def kill(self):
        self.process.process.kill()
        self.process.process.wait()


@pytest.fixture
def first_launcher(tmp_path):
    """Starts a first launcher; ends it (Cancel) after the test."""
    exe = pack(tmp_path, PROJECT, name=LAUNCHER_NAME)
    first = FirstLauncher(exe)
    (path, pid), = instance_pids().items()
    yield exe, path, pid
    if first.process.process.poll() is None:
        assert first.cancel().returncode == 1


def test_second_start_brings_the_first_forward_and_leaves_an_empty_file(first_launcher, temp_dir):
    exe, _, pid = first_launcher
    comm_file = temp_dir / f"ksl_p{pid}.tmp"
    comm_file.write_text("left over from before")
    holder = WineProcess([INSTANCE_PROBE, "steal", pid, "MyDlgClass", 30])
    try:
        wait_for(lambda: process_windows(pid) == {"MyDlgClass": (True, False), "#32770": (False, False)})
        second = run_launcher(exe, timeout=20)
        windows = process_windows(pid)
    finally:
        holder.process.kill()
        holder.process.wait()
    assert (second.returncode, second.stdout, second.stderr) == (0, "", "")
    assert comm_file.read_bytes() == b""
    # The progress dialog is restored; its modal not-found dialog ends in front.
    assert windows == {"MyDlgClass": (False, False), "#32770": (False, True)}


def test_identity_is_the_short_lower_case_path_and_names_the_semaphore(first_launcher):
    exe, path, pid = first_launcher
    directory, _, file_name = path.rpartition("\\")
    assert path == path.lower()
    assert "~" in file_name and len(file_name) <= 12, file_name
    assert path == short_path(exe).lower()
    assert semaphore_exists(path.replace("\\", "_"))
    assert not semaphore_exists(path)
    assert process_windows(pid)  # the recorded id is the running launcher's


def test_other_spellings_of_the_path_are_the_same_executable(first_launcher):
    exe, path, pid = first_launcher
    for spelling in (short_path(exe), windows_path(exe).upper(), windows_path(exe).lower()):
        # Quiet, so that an unguarded start ends at once ("no jre found", 83).
        run = run_launcher(spelling, "-q", timeout=20)
        assert (run.returncode, run.stdout) == (0, ""), spelling
    assert instance_pids() == {path: pid}


def test_a_copy_in_another_directory_runs_beside_the_first(first_launcher, tmp_path):
    exe, path, pid = first_launcher
    copy = tmp_path / "elsewhere" / LAUNCHER_NAME
    copy.parent.mkdir()
    shutil.copy(exe, copy)
    run = run_launcher(copy, "-q")
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND)
    pids = instance_pids()
    assert pids.pop(path) == pid
    copy_path, copy_pid = pids.popitem()
    assert not pids
    assert copy_path == short_path(copy).lower()
    assert copy_pid != pid


def test_stale_pids_value_is_rewritten_by_the_next_first_process(tmp_path):
    exe = pack(tmp_path, PROJECT, name=LAUNCHER_NAME)
    first = run_launcher(exe, "-q")
    assert (first.returncode, first.stdout) == (83, NO_JRE_FOUND)
    (path, _), = instance_pids().items()
    assert not semaphore_exists(path.replace("\\", "_"))  # gone with its process
    reg_add(PIDS_KEY, path, "4242", "REG_DWORD")
    # The first process is over: the next start is a first process again.
    again = run_launcher(exe, "-q")
    assert (again.returncode, again.stdout) == (83, NO_JRE_FOUND)
    assert instance_pids()[path] not in (4242, 0)


def test_a_killed_first_process_leaves_no_guard_behind(tmp_path):
    exe = pack(tmp_path, PROJECT, name=LAUNCHER_NAME)
    first = FirstLauncher(exe)
    first.kill()
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND)


def test_wrong_sized_pids_value_counts_as_process_zero(first_launcher, temp_dir):
    exe, path, _ = first_launcher
    reg_add(PIDS_KEY, path, "0102", "REG_BINARY")  # two bytes
    comm_file = temp_dir / "ksl_p0.tmp"
    comm_file.write_text("left over from before")
    run = run_launcher(exe, "-q", timeout=20)
    assert run.returncode == 0
    assert comm_file.read_bytes() == b""


def test_two_starts_at_the_same_moment_run_exactly_one(tmp_path):
    exe = pack(tmp_path, PROJECT, name=LAUNCHER_NAME)
    both = [start_launcher(exe), start_launcher(exe)]
    try:
        wait_for(lambda: any(p.process.poll() is not None for p in both), timeout=20)
        ended = [p for p in both if p.process.poll() is not None]
        assert len(ended) == 1
        assert finish(ended[0]).returncode == 0
        (survivor,) = [p for p in both if p is not ended[0]]
        (_, pid), = instance_pids().items()
        assert "#32770" in process_windows(pid)  # the recorded id is the survivor's
        probe(title=CAPTION, press=2, timeout=20)
        assert finish(survivor).returncode == 1
    finally:
        for p in both:
            if p.process.poll() is None:
                p.process.kill()
                p.process.wait()
