"""The launcher's dialogs at 100, 150 and 200 % display scaling. The manifest
declares per-monitor DPI awareness, so Windows lays the dialogs out at the
display's DPI instead of stretching them (Wine lays out every window that
way); every control must then still lie inside its dialog, apart from the
others, and show its whole text.

These runs use a prefix of their own with Wine's X11 driver on an Xvfb
display, so that the dialogs are really drawn: window-probe.exe measures
them (--geometry), and a screenshot of each scale and the probe's reports are
kept in build/screenshots/ for a person to look at. The DPI is Wine's LogPixels
setting, read when the Wine server starts."""
import os
import shutil
import subprocess
import tempfile
import time

import pytest

from conftest import ARCH, BUILD, PROBE, REGISTRY_KEY, WINE, pack

SCALES = {100: 96, 150: 144, 200: 192}
SCREENSHOTS = BUILD / "screenshots"
DISPLAY = ":73"
PROJECT = """
[launcher]
type = "windowed"
[java]
min_version = "17"
search_sequence = []
[runtime]
download_url = "http://127.0.0.1:9/jre.tar.gz"
[payload]
runtime_jar = false
"""
# The runtime-not-found dialog and the progress dialog behind it.
DIALOGS = {"not-found": "#32770", "progress": "MyDlgClass"}
CANCEL = 2


@pytest.fixture(scope="module")
def scaled_wine(tmp_path_factory):
    """A function that runs Wine in the module's prefix at a given DPI."""
    if shutil.which("Xvfb") is None:
        pytest.skip("Xvfb is not installed")
    display = subprocess.Popen(["Xvfb", DISPLAY, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    prefix = tmp_path_factory.mktemp("scaled-wineprefix")
    env = dict(os.environ, WINEPREFIX=str(prefix), WINEARCH="win64", WINEDEBUG="-all", LANG="C.UTF-8",
               DISPLAY=DISPLAY)
    subprocess.run([WINE, "wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=300, check=True)
    current = {"dpi": None}

    def run(args, dpi, background=False, timeout=60):
        if current["dpi"] != dpi:
            subprocess.run([WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                            "REG_DWORD", "/d", str(dpi), "/f"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, check=True)
            subprocess.run(["wineserver", "-k"], env=env)
            subprocess.run(["wineserver", "-w"], env=env)
            current["dpi"] = dpi
        # Output into files, not pipes: Wine's helper processes inherit the
        # handles and outlive the program.
        out = tempfile.TemporaryFile()
        process = subprocess.Popen([WINE, *map(str, args)], env=env, stdin=subprocess.DEVNULL, stdout=out,
                                   stderr=subprocess.DEVNULL)
        if background:
            return process
        code = process.wait(timeout=timeout)
        out.seek(0)
        return subprocess.CompletedProcess(args, code, out.read())

    yield run
    subprocess.run(["wineserver", "-k"], env=env)
    subprocess.run(["wineserver", "-w"], env=env)
    display.terminate()
    display.wait()


def geometry(text):
    """(dpi, client size, {id: (box, text size)}) from window-probe's report."""
    controls, dpi, client = {}, 0, (0, 0)
    for line in text.splitlines():
        kind, _, rest = line.partition(" ")
        numbers = [int(n) for n in rest.split()] if kind in ("dpi", "client", "geometry") else []
        if kind == "dpi":
            dpi = numbers[0]
        elif kind == "client":
            client = tuple(numbers)
        elif kind == "geometry":
            controls[numbers[0]] = (tuple(numbers[1:5]), tuple(numbers[5:7]))
    return dpi, client, controls


def visible_items(text):
    return {int(line.split()[1]) for line in text.splitlines()
            if line.startswith("item ") and line.split()[3] == "1"}


def layout_problems(report, scale):
    """Every way the dialog in `report` fails to fit, as readable lines."""
    dpi, (width, height), controls = geometry(report)
    shown = visible_items(report)
    problems = []
    if dpi != SCALES[scale]:
        problems.append(f"the dialog runs at {dpi} DPI")
    boxes = {ident: box for ident, (box, _) in controls.items()
             if ident in shown and box[2] > box[0] and box[3] > box[1]}
    margin = round(3 * dpi / 96)  # a button's frame and the space inside it
    for ident, (left, top, right, bottom) in boxes.items():
        if left < 0 or top < 0 or right > width or bottom > height:
            problems.append(f"control {ident} at {left},{top}-{right},{bottom} leaves the {width}x{height} dialog")
        text_width, text_height = controls[ident][1]
        room = (right - left - (2 * margin if ident in (1, 2, 1004, 1005) else 0), bottom - top)
        if text_width > room[0] or text_height > room[1]:
            problems.append(f"the text of control {ident} needs {text_width}x{text_height}, "
                            f"the control has {room[0]}x{room[1]}")
    for first in boxes:
        for second in boxes:
            a, b = boxes[first], boxes[second]
            if first < second and a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]:
                problems.append(f"controls {first} and {second} overlap")
    return problems, width


def dialog_reports(scaled_wine, exe, scale):
    """window-probe's reports of both dialogs at `scale`, with a screenshot
    of the display; Cancel ends the launcher again."""
    dpi = SCALES[scale]
    # Without the last start's state: no question whether it finished.
    scaled_wine(["reg", "delete", REGISTRY_KEY, "/f"], dpi)
    launcher = scaled_wine([exe], dpi, background=True)
    try:
        reports = {}
        for name, window_class in DIALOGS.items():
            seen = scaled_wine([PROBE, "--timeout", 30, "--class", window_class, "--geometry", 1], dpi)
            assert seen.returncode == 0, f"no {name} dialog at {scale} %: {seen.stdout!r}"
            reports[name] = seen.stdout.decode("utf-8")
            (SCREENSHOTS / f"{name}-{ARCH}-{scale}.txt").write_text(reports[name])
        time.sleep(0.5)  # let the last paint reach the display
        subprocess.run(["import", "-display", DISPLAY, "-window", "root", SCREENSHOTS / f"dialogs-{ARCH}-{scale}.png"],
                       check=True, timeout=30)
    finally:
        scaled_wine([PROBE, "--timeout", 5, "--press", CANCEL], dpi)
        assert launcher.wait(timeout=30) == 1  # Cancel ends the launcher with 1
    return reports


def test_the_dialogs_fit_their_texts_at_every_scale(tmp_path, scaled_wine):
    SCREENSHOTS.mkdir(parents=True, exist_ok=True)
    exe = pack(tmp_path, PROJECT, name="scaled.exe")
    problems, widths = [], {}
    for scale in sorted(SCALES):
        for name, report in dialog_reports(scaled_wine, exe, scale).items():
            found, widths[name, scale] = layout_problems(report, scale)
            problems += [f"{name} dialog at {scale} %: {problem}" for problem in found]
    assert problems == []
    # The scale took effect: the dialogs grew with it (three runs at 96 DPI
    # would pass the checks above without showing anything).
    for name in DIALOGS:
        for scale in (150, 200):
            assert abs(widths[name, scale] / widths[name, 100] - scale / 100) < 0.1, (name, widths)
