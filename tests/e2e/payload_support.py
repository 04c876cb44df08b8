"""Helpers of the payload and process-environment tests: hand-made
configuration blocks with payload records, launcher starts with a temporary
directory, start directory or file-size limit of their own, and reading the
working directory and PATH of a launcher that waits in a dialog."""
import re
import resource
import signal
import struct
import subprocess
import tempfile
from pathlib import Path

from conftest import (WINTEST, BUILD, REGISTRY_KEY, STUB, WINE, WineProcess, finish, reg_query, run_wine, wine_environment,
                      windows_path)

MAGIC = struct.pack("<I", 0xE8E413D5)
PAYLOAD_KEY = 0x0B
PROCESS_PROBE = WINTEST / "process-probe.exe"
TEMP_KEY = REGISTRY_KEY + r"\temp"
# The payload directory's name inside the temporary directory.
PAYLOAD_DIRECTORY = re.compile(r"ksl[0-9A-Fa-f]{1,4}\.tmp_dir[0-9]{1,5}")
INTERNAL_ERROR = "An internal error occurred (error code: %ERROR_CODE%)"


def scrambled(data):
    return bytes(b ^ PAYLOAD_KEY for b in data)


def record(key, value):
    """A narrow (bytes) or wide (str) record."""
    data = value if isinstance(value, bytes) else value.encode("utf-16-le")
    return struct.pack("<ii", key, len(data)) + data


def block(narrow, wide=None):
    """Magic, the narrow records, the wide records; keys ascending."""
    wide = wide or {}
    out = MAGIC + struct.pack("<i", len(narrow))
    out += b"".join(record(key, value.encode("cp1252")) for key, value in sorted(narrow.items()))
    out += struct.pack("<i", len(wide))
    out += b"".join(record(key, value) for key, value in sorted(wide.items()))
    return out


def payload_record(content, length=None):
    """A record of `content` (stored scrambled) under its own or a given length."""
    return struct.pack("<i", len(content) if length is None else length) + scrambled(content)


def hand_made_launcher(path, narrow, wide=None, payload=b""):
    path.write_bytes(STUB.read_bytes() + block(narrow, wide) + payload)
    return path


class Launch(WineProcess):
    """A launcher started through a batch file that sets its temporary
    directory (TMP and TEMP), from `cwd`, optionally with a limit on the size
    of every file it writes (writes past it fail)."""

    def __init__(self, tmp_path, exe, *args, temp_dir=None, cwd=None, file_size_limit=None):
        lines = []
        if temp_dir is not None:
            lines += [f"@set TMP={windows_path(temp_dir)}", f"@set TEMP={windows_path(temp_dir)}"]
        lines += [f'@"{windows_path(exe)}" {" ".join(args)}', "@exit /b %errorlevel%"]
        script = Path(tempfile.mkstemp(suffix=".bat", dir=tmp_path)[1])
        script.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))
        self.out, self.err = tempfile.TemporaryFile(), tempfile.TemporaryFile()

        def limit_file_size():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, file_size_limit))

        self.process = subprocess.Popen(
            [WINE, "cmd", "/c", windows_path(script)], env=wine_environment(), cwd=cwd,
            stdin=subprocess.DEVNULL, stdout=self.out, stderr=self.err,
            preexec_fn=limit_file_size if file_size_limit else None)

    def finish(self, timeout=30):
        return finish(self, timeout)


def launch(tmp_path, exe, *args, **options):
    return Launch(tmp_path, exe, *args, **options).finish()


def payload_directories(temp_dir):
    """The payload directories in `temp_dir`, checking that nothing else is there."""
    entries = sorted(p.name for p in Path(temp_dir).iterdir())
    assert all(PAYLOAD_DIRECTORY.fullmatch(name) for name in entries), entries
    return [Path(temp_dir) / name for name in entries]


def the_payload_directory(temp_dir):
    directories = payload_directories(temp_dir)
    assert len(directories) == 1, directories
    return directories[0]


def deletion_list(value):
    """The entries of registry list `value` ("delete_file" or "delete_dir"), or None."""
    text = reg_query(TEMP_KEY, value)
    if text is None:
        return None
    assert text.endswith(";"), text
    return text[:-1].split(";")


def process_state(title, variable="PATH", timeout=20):
    """The working directory and one variable of the process whose dialog
    with this caption is open: (cwd, value or None)."""
    result = run_wine([PROCESS_PROBE, "--title", title, "--variable", variable, "--timeout", timeout],
                      timeout=timeout + 15)
    output = result.stdout.decode("utf-8")
    assert result.returncode == 0, output
    lines = dict(line.split(" ", 1) for line in output.splitlines())
    value = lines["variable"]
    return lines["cwd"], None if value.endswith(" unset") else value.split("=", 1)[1]
