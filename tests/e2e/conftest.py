"""Shared fixtures of the end-to-end tests: a Wine prefix for the whole run,
building launchers with the packer, starting them, reading their windows and
the registry.

The prefix lives in build/e2e-wineprefix and is made afresh once per test run
(tools/test.sh); a persistent wineserver keeps each start well under a second.
It is a 64-bit prefix, as Windows is today: it runs 64-bit programs, and 32-bit
ones through WOW64, which gives them a registry view of their own.
Windows are real but invisible: Wine's null graphics driver is set in the
prefix, and window-probe.exe reads and presses them.
"""
import os
import re
import subprocess
import tempfile
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("KESTREL_BUILD", ROOT / "build"))
PACKER = BUILD / "host" / "kestrel-pack"
# The architecture under test: "x64" (the 64-bit stub and test programs) or
# "x86"; tools/test.sh runs the suite once per architecture the machine runs.
ARCH = os.environ.get("KESTREL_TEST_ARCH", "x64")
STUB = BUILD / "stub" / ("kestrel-stub64.exe" if ARCH == "x64" else "kestrel-stub.exe")
# The Windows test programs and doubles of that architecture.
WINTEST = BUILD / ("wintest64" if ARCH == "x64" else "wintest")
PROBE = WINTEST / "window-probe.exe"
# The runtime home backed by Debian's real VM of that architecture (tools/realjvm).
REAL_HOME = BUILD / "realjvm" / ("home64" if ARCH == "x64" else "home")
PREFIX = Path(os.environ.get("KESTREL_TEST_WINEPREFIX", BUILD / "e2e-wineprefix"))

# Wine's 64-bit loader: it runs 64-bit programs itself and hands 32-bit ones
# on to the 32-bit loader (the `wine` command starts the 32-bit one first).
WINE = "/usr/lib/wine/wine64"
# The registry view of the stub under test: HKLM\Software is redirected for
# the 32-bit one.
STUB_REGISTRY_VIEW = "/reg:32" if ARCH == "x86" else "/reg:64"

REGISTRY_KEY = r"HKCU\Software\larkspur\kestrel"
# The C runtime writes standard output in text mode: the line feed arrives as CR LF.
NO_JRE_FOUND = "no jre found\r\n"


def wine_environment():
    env = dict(os.environ)
    env.update(WINEPREFIX=str(PREFIX), WINEARCH="win64", WINEDEBUG="-all", LANG="C.UTF-8")
    env.pop("DISPLAY", None)
    return env


class WineProcess:
    """A Wine process whose output goes to temporary files: Wine's own
    helper processes inherit the standard handles and may outlive the
    program, so pipes would not reach their end when the program exits."""

    def __init__(self, args):
        self.out, self.err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
        self.process = subprocess.Popen([WINE, *map(str, args)], env=wine_environment(),
                                        stdin=subprocess.DEVNULL, stdout=self.out, stderr=self.err)

    def wait(self, timeout=30):
        """Returns (exit code, stdout bytes, stderr bytes)."""
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise
        self.out.seek(0)
        self.err.seek(0)
        return code, self.out.read(), WINE_CLIENT_ERROR.sub(b"", self.err.read())


# Wine's client library writes this line for one of its own threads that
# loses the server connection while the process ends; on a loaded machine it
# happens now and then, under any program (the launcher, cmd, reg). The line
# is Wine's, not the program's: outcomes are still checked by exit code,
# output and files.
WINE_CLIENT_ERROR = re.compile(rb"^wine client error:[0-9a-f]+: sendmsg: [^\n]*\n", re.M)


def run_wine(args, timeout=30, check=False):
    code, out, err = WineProcess(args).wait(timeout)
    if check:
        assert code == 0, f"{WINE} {args} failed: {err!r}"
    return subprocess.CompletedProcess(args, code, out, err)


@pytest.fixture(scope="session", autouse=True)
def wine_prefix():
    """Makes the prefix with the null graphics driver if it does not exist
    yet (tools/test.sh makes it) and keeps a wineserver running."""
    env = wine_environment()
    if not (PREFIX / "system.reg").exists():
        PREFIX.mkdir(parents=True, exist_ok=True)
        subprocess.run([WINE, "wineboot", "-i"], env=env, capture_output=True, timeout=300, check=True)
        run_wine(["reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics", "/d", "null", "/f"],
                 check=True)
        # The driver is chosen when Wine's desktop process starts.
        subprocess.run(["wineserver", "-k"], env=env)
        subprocess.run(["wineserver", "-w"], env=env)
    subprocess.run(["wineserver", "-p"], env=env)  # exits 2 when one is already running
    yield PREFIX
    # Wait for the server to be gone: a next session's "wineserver -p" would
    # otherwise find the dying one, and its starts would get no lasting server.
    subprocess.run(["wineserver", "-k"], env=env)
    subprocess.run(["wineserver", "-w"], env=env)


@pytest.fixture(autouse=True)
def clean_registry():
    """Every test starts without the launcher's per-user registry state."""
    reg_delete(REGISTRY_KEY)
    yield


def windows_path(path):
    """The Wine (Windows) form of a Linux path."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def pack(tmp_path, project_text, files=None, name="launcher.exe", stub=STUB):
    """Writes the project file (and payload files) and builds a launcher
    (from another program laid out like the stub, when `stub` is given)."""
    for file_name, content in (files or {}).items():
        target = tmp_path / file_name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(content if isinstance(content, bytes) else content.encode())
    project = tmp_path / "project.toml"
    project.write_text(project_text)
    output = tmp_path / name
    result = subprocess.run([PACKER, "build", project, "-o", output, "--stub", stub],
                            capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    return output


class Run:
    """The outcome of a launcher process."""

    def __init__(self, returncode, stdout, stderr):
        self.returncode, self.stdout, self.stderr = returncode, stdout, stderr

    def __repr__(self):
        return f"Run(rc={self.returncode}, out={self.stdout!r}, err={self.stderr!r})"


def run_launcher(exe, *args, timeout=30):
    return finish(start_launcher(exe, *args), timeout)


def start_launcher(exe, *args):
    return WineProcess([exe, *args])


def finish(process, timeout=30):
    code, out, err = process.wait(timeout)
    return Run(code, out.decode("latin-1"), err.decode("latin-1"))


class Window:
    """What window-probe.exe saw of a dialog or message box."""

    def __init__(self, text):
        self.caption, self.owner, self.style, self.items = "", "", 0, {}
        for line in text.splitlines():
            kind, _, rest = line.partition(" ")
            if kind == "caption":
                self.caption = rest
            elif kind == "owner":
                self.owner = rest
            elif kind == "style":
                self.style = int(rest, 16)
            elif kind == "item":
                ident, cls, visible, *label = rest.split(" ", 3)
                self.items[int(ident)] = (cls, visible == "1", label[0] if label else "")

    def text(self, ident):
        return self.items[ident][2]

    def visible(self, ident):
        return self.items[ident][1]

    @property
    def message(self):
        """The text of a message box (its static control 65535)."""
        return self.text(65535)


def probe(press=None, title=None, timeout=15, window_class=None):
    """Waits for a dialog window (standard dialog class unless another is
    named), returns what it shows, then presses `press`."""
    args = [PROBE, "--timeout", timeout]
    if window_class is not None:
        args += ["--class", window_class]
    if title is not None:
        args += ["--title", title]
    if press is not None:
        args += ["--press", press]
    result = run_wine(args, timeout=timeout + 15)
    output = result.stdout.decode("utf-8")
    assert result.returncode == 0, f"no window appeared: {output}"
    return Window(output)


def reg(*args, check=False):
    """Runs `reg` with `args` in the registry view of the stub under test."""
    return run_wine(["reg", *args, STUB_REGISTRY_VIEW], check=check)


def reg_query(key, value):
    """The data of a registry value as `reg query` prints it, or None."""
    result = reg("query", key, "/v", value)
    if result.returncode != 0:
        return None
    for line in result.stdout.decode("latin-1").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0] == value:
            return parts[2] if len(parts) == 3 else ""
    return None


def reg_add(key, value, data, kind="REG_SZ"):
    reg("add", key, "/v", value, "/t", kind, "/d", data, "/f", check=True)


def reg_delete(key):
    reg("delete", key, "/f")
