"""Locating a runtime by hand from the runtime-not-found dialog: the file
chooser (filled in and pressed through window-probe), a refused choice that
keeps the dialog open, and an accepted one that loads the runtime, is
remembered among the located runtimes and lets the launch sequence go on."""
import pytest

from conftest import PROBE, Window, finish, pack, reg, run_wine, start_launcher, windows_path
from runtime_doubles import loaded_libraries, located_key, machine_registry, make_runtime  # noqa: F401

pytestmark = pytest.mark.usefixtures("machine_registry")

CAPTION = "Kestrel Setup"
CHOOSER = "Pick the java.exe"
# The chooser's file name box (a combo box with an edit field).
FILE_NAME_BOX = 1148
PROJECT = f"""
[launcher]
type = "installer"
[java]
min_version = "1.6"
[messages]
caption = "Runtime trouble"
no_runtime = "none found"
[texts]
caption = "{CAPTION}"
chooser_title = "{CHOOSER}"
"""


def window(title, *options, timeout=20):
    """Waits for the dialog titled `title`, applies the window-probe options
    and returns what it showed."""
    result = run_wine([PROBE, "--timeout", timeout, "--title", title, *options], timeout=timeout + 15)
    output = result.stdout.decode("utf-8")
    assert result.returncode == 0, output
    return Window(output)


def choose(path):
    """Locate, then the chosen file in the chooser and Open."""
    window(CAPTION, "--press", 1005, "--wait", 0)
    return window(CHOOSER, "--set-text", f"{FILE_NAME_BOX}={path}", "--press", 1)


def test_cancelled_and_refused_choices_keep_the_dialog_then_a_good_one_goes_on(tmp_path):
    exe = pack(tmp_path, PROJECT)
    make_runtime(tmp_path / "old", "1.5.0_22")
    make_runtime(tmp_path / "Good Runtime", "1.6.0_45")
    process = start_launcher(exe)

    window(CAPTION, "--press", 1005, "--wait", 0)
    chooser = window(CHOOSER, "--press", 2)
    assert chooser.owner == CAPTION

    choose(windows_path(tmp_path / "old" / "bin" / "java.exe"))
    refused = window("Runtime trouble", "--press", 1)
    assert refused.message == "none found"

    chosen = windows_path(tmp_path / "Good Runtime" / "bin" / "java.exe")
    choose(chosen)
    # The launch sequence went on with the chosen runtime and, once the
    # (double's) application ended, ended the launcher with 0.
    run = finish(process)
    assert run.returncode == 0
    assert loaded_libraries(tmp_path) == ["Good Runtime/bin/client"]
    remembered = located_key("HKLM", chosen)
    assert reg("query", remembered).returncode == 0
    assert reg("query", located_key("HKLM", windows_path(tmp_path / "old/bin/java.exe"))).returncode == 1
