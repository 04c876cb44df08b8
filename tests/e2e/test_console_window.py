"""The own console window, looked up through a unique console title during
the first window count: console-window-host.exe is laid out like the stub,
gets a configuration block from the packer, gives itself a console and counts
its windows twice while it watches the console title.

Under Wine the console window belongs to the console host process, not to
the counting process, so the count itself cannot show that the console
window is left out; the report shows which window the lookup found."""
import re

import pytest

from conftest import WINTEST, BUILD, pack, run_wine, windows_path

HOST = WINTEST / "console-window-host.exe"
KNOWN_TITLE = "console window host"


def host_report(tmp_path, launcher_type):
    exe = pack(tmp_path, f'[launcher]\ntype = "{launcher_type}"\n', name="host.exe", stub=HOST)
    report = tmp_path / "report.txt"
    result = run_wine([exe, windows_path(report)])
    assert result.returncode == 0
    return dict(line.split(" ", 1) for line in report.read_text().splitlines())


@pytest.mark.parametrize("launcher_type", ["console", "installer"])
def test_console_launcher_finds_its_console_window_once_and_restores_the_title(tmp_path, launcher_type):
    report = host_report(tmp_path, launcher_type)
    assert report["console-window"] == "found"
    # Changed once, during the first count only, to "<ticks>/<process id>".
    assert report["titles"] == "1 0"
    assert re.fullmatch(r"\d+/" + report["process"], report["seen"])
    assert report["title-after"] == KNOWN_TITLE
    assert report["count"] == "1 1"  # the host's own window


def test_windowed_launcher_never_touches_the_console_title(tmp_path):
    report = host_report(tmp_path, "windowed")
    assert report["console-window"] == "none"
    assert (report["titles"], report["seen"]) == ("0 0", "-")
    assert report["title-after"] == KNOWN_TITLE
    assert report["count"] == "1 1"
