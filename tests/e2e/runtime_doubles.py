"""Fake Java runtime homes for the runtime discovery tests, made of the
doubles of tests/doubles (java.exe, jvm.dll, unpack200.exe), possibly with a
release file or with files marked for another machine, and the machine-wide
registry keys those tests write (JavaSoft and the located runtimes), removed
before and after each test that uses `machine_registry`.
"""
import shutil
import tempfile
from pathlib import Path

import pytest

from conftest import ARCH, WINTEST, reg, windows_path

DOUBLES = WINTEST / "doubles"
LOADER_DRIVER = WINTEST / "loader-driver.exe"

JAVASOFT = r"HKLM\SOFTWARE\JavaSoft"
MACHINE_KEY = r"HKLM\SOFTWARE\larkspur"
LOCATED_KEY = r"SOFTWARE\larkspur\kestrel\locatedjvms"

# The machine fields of the two architectures, and the one the launcher
# under test cannot load.
MACHINES = {"x86": 0x014C, "x64": 0x8664}
FOREIGN_MACHINE = MACHINES["x86" if ARCH == "x64" else "x64"]


def make_runtime(home, version="1.6.0_45", line=None, exit_code=0, vms=("client",), javaw=False,
                 library="jvm.dll", bin_dir="bin", release=None):
    """Lays out home/<bin_dir>/java.exe answering `line` (default: the
    classic version line of `version`) and one jvm.dll per VM variant, and
    home/release with the text or bytes `release` when given. Returns the
    home directory."""
    home = Path(home)
    bin_path = home / bin_dir
    bin_path.mkdir(parents=True, exist_ok=True)
    shutil.copy(DOUBLES / "java.exe", bin_path / "java.exe")
    if javaw:
        shutil.copy(DOUBLES / "java.exe", bin_path / "javaw.exe")
    if line is None:
        line = f'java version "{version}"'
    (bin_path / "java.cfg").write_text(f"stderr {line}\nexit {exit_code}\n")
    for vm in vms:
        (bin_path / vm).mkdir(exist_ok=True)
        shutil.copy(DOUBLES / library, bin_path / vm / "jvm.dll")
    if release is not None:
        (home / "release").write_bytes(release if isinstance(release, bytes) else release.encode())
    return home


def set_machine(path, machine):
    """Rewrites the machine field of the image at `path`."""
    data = bytearray(Path(path).read_bytes())
    signature = int.from_bytes(data[0x3C:0x40], "little")
    data[signature + 4:signature + 6] = machine.to_bytes(2, "little")
    Path(path).write_bytes(data)


def probes(home, bin_dir="bin"):
    """How many times the runtime's java.exe was started."""
    log = Path(home) / bin_dir / "java.log"
    return len(log.read_text().splitlines()) if log.exists() else 0


def loaded_libraries(root):
    """The directories (relative to `root`, with '/') of every jvm.dll
    double that was loaded."""
    root = Path(root)
    return sorted(log.parent.relative_to(root).as_posix() for log in root.rglob("jvm.log"))


def reg_import(entries):
    """Writes registry keys in one go: `entries` maps a full key name
    (HKEY_LOCAL_MACHINE\\... or HKEY_CURRENT_USER\\...) to a dict of string
    values (possibly empty)."""
    lines = ["REGEDIT4", ""]
    for key, values in entries.items():
        lines.append(f"[{key}]")
        for name, data in values.items():
            escaped = data.replace("\\", "\\\\").replace('"', '\\"')
            lines.append(f'"{name}"="{escaped}"')
        lines.append("")
    with tempfile.TemporaryDirectory() as directory:
        path = Path(directory) / "keys.reg"
        path.write_bytes("\r\n".join(lines).encode("latin-1") + b"\r\n")
        reg("import", windows_path(path), check=True)


def installed_runtime_key(kind, version):
    """The machine key of an installed runtime: kind "jre" or "jdk"."""
    product = "Java Runtime Environment" if kind == "jre" else "Java Development Kit"
    return rf"HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\{product}" + (f"\\{version}" if version else "")


def located_key(hive, executable):
    """The located-runtime key of `executable` (its Windows path) under
    hive "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER"."""
    return f"{hive}\\{LOCATED_KEY}\\" + executable.replace("\\", "/")


@pytest.fixture
def machine_registry():
    """Clears the machine-wide runtime keys before and after the test."""
    for key in (JAVASOFT, MACHINE_KEY):
        reg("delete", key, "/f")
    yield
    for key in (JAVASOFT, MACHINE_KEY):
        reg("delete", key, "/f")

