"""The resources the packer writes into a launcher, read back by Windows
itself: resource-probe.exe asks the version library for the version sheet
(GetFileVersionInfo, VerQueryValue) and the resource loader for the icon
group and the manifest. The icon comes from ImageMagick, the way a user
makes one: bitmaps and a PNG-compressed 256-pixel image."""
import struct
import subprocess

import pytest

from conftest import PACKER, WINTEST, pack, run_wine

PROBE = WINTEST / "resource-probe.exe"

VERSIONED = """
[launcher]
icon = "app.ico"
[version]
file_version = "1.2.3.4"
product_version = "2.5"
product_name = "Kestrel D\u00e9mo"
company = "Larkspur \u2713"
description = "Demo launcher"
copyright = "\u00a9 2024 Larkspur"
original_filename = "demo.exe"
internal_name = "demo"
comments = "built by the tests"
[manifest]
execution_level = "requireAdministrator"
[payload]
runtime_jar = false
"""


def fnv1a(data):
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return value


def icon_images(ico):
    """(width, height, bits, size, fnv1a) of every image of an .ico file."""
    count = struct.unpack_from("<H", ico, 4)[0]
    images = []
    for i in range(count):
        width, height, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
        images.append((width or 256, height or 256, bits, size, fnv1a(ico[offset:offset + size])))
    return images


@pytest.fixture(scope="module")
def icon_file(tmp_path_factory):
    path = tmp_path_factory.mktemp("icon") / "app.ico"
    subprocess.run(["convert", "-size", "256x256", "gradient:navy-orange", "-define",
                    "icon:auto-resize=256,48,32,16", path], check=True)
    return path.read_bytes()


def probe(exe):
    assert PROBE.exists(), f"{PROBE} is missing (make wintest)"
    result = run_wine([PROBE, exe])
    assert result.returncode == 0, result.stderr
    lines = result.stdout.decode("utf-8").splitlines()
    return {
        "values": dict(line.split(" ", 1) for line in lines if not line.startswith(("string ", "icon "))),
        "strings": dict(line[len("string "):].split(" ", 1) for line in lines if line.startswith("string ")),
        "icons": [tuple(int(part, 16) if n == 4 else int(part) for n, part in enumerate(line.split()[1:]))
                  for line in lines if line.startswith("icon ")],
    }


def test_version_sheet_icon_and_manifest_read_back_by_windows(tmp_path, icon_file):
    assert icon_images(icon_file)[0][:3] == (256, 256, 32)  # ImageMagick's PNG image comes first
    exe = pack(tmp_path, VERSIONED, files={"app.ico": icon_file})
    seen = probe(exe)
    assert seen["values"]["file_version"] == "1.2.3.4"
    assert seen["values"]["product_version"] == "2.5.0.0"
    assert seen["values"]["translation"] == "0409 04b0"
    assert seen["strings"] == {
        "CompanyName": "Larkspur \u2713", "FileDescription": "Demo launcher", "FileVersion": "1.2.3.4",
        "InternalName": "demo", "LegalCopyright": "\u00a9 2024 Larkspur", "OriginalFilename": "demo.exe",
        "ProductName": "Kestrel D\u00e9mo", "ProductVersion": "2.5.0.0", "Comments": "built by the tests"}
    # Image by image: size, depth and the very bytes of the file.
    assert seen["icons"] == icon_images(icon_file)
    assert "manifest" in seen["values"]
    listing = subprocess.run([PACKER, "inspect", exe], capture_output=True, text=True, check=True).stdout
    assert "    execution level: requireAdministrator\n" in listing
    assert "    file version: 1.2.3.4\n" in listing


def test_a_project_without_version_settings_has_no_version_sheet(tmp_path):
    exe = pack(tmp_path, "[payload]\nruntime_jar = false\n")
    seen = probe(exe)
    assert "file_version" not in seen["values"] and seen["strings"] == {}
    # The stub's own icon group stays: ten images, all present.
    assert len(seen["icons"]) == 10 and all(len(icon) == 5 for icon in seen["icons"])
