"""Runtime archives as real tools write them: GNU tar, bsdtar and Python's
tarfile in the ustar, GNU and pax formats, and an archive listing only files
(as `tar -T list` makes it), each from a runtime tree with a 180-byte path
and names outside Windows-1252. The launcher unpacks each, and the result
is compared byte for byte with the tree."""
import gzip
import io
import subprocess
import tarfile

import pytest

from test_runtime_archive import Runtime, assert_unpacked_and_started, start

DEEP = ("legal/java.base/" + "d" * 70 + "/" + "f" * 80 + ".txt")
DEEP = "p" * (180 - len(DEEP) - 1) + "/" + DEEP
NON_ASCII = ["lib/\u65e5\u672c\u8a9e/\u30c6\u30b9\u30c8.properties",  # Japanese
             "conf/caf\u00e9-\u0153uvre.txt",  # \u0153 is in Windows-1252, \u00e9 too
             "lib/\u03b1\u03b2\u03b3.jar"]  # Greek


def runtime_tree(root):
    """The doubles' runtime home with the long and the non-ASCII names added."""
    runtime = Runtime(root)
    assert len(DEEP.encode()) == 180
    for index, name in enumerate([DEEP] + NON_ASCII):
        path = runtime.home / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(f"{index}: {name}\n".encode() * (index + 1))
    return runtime


def tool(*command, cwd):
    subprocess.run(command, cwd=cwd, check=True, env={"LANG": "C.UTF-8", "PATH": "/usr/bin:/bin"})


def gnu_tar(fmt):
    def make(home, out):
        tool("tar", f"--format={fmt}", "-czf", out, ".", cwd=home)
    return make


def gnu_tar_files_only(home, out):
    listing = home.parent / "files.list"
    listing.write_text("".join(f"{p.relative_to(home).as_posix()}\n" for p in sorted(home.rglob("*")) if p.is_file()))
    tool("tar", "--no-recursion", "-czf", out, "-T", listing, cwd=home)


def bsdtar(fmt):
    def make(home, out):
        tool("bsdtar", *(["--format", fmt] if fmt else []), "-czf", out, ".", cwd=home)
    return make


def python_tarfile(fmt):
    def make(home, out):
        buffer = io.BytesIO()
        with tarfile.open(fileobj=buffer, mode="w", format=fmt, encoding="utf-8") as archive:
            archive.add(home, arcname="")
        out.write_bytes(gzip.compress(buffer.getvalue()))
    return make


ARCHIVERS = {
    "gnu-tar-gnu": gnu_tar("gnu"),
    "gnu-tar-ustar": gnu_tar("ustar"),
    "gnu-tar-pax": gnu_tar("pax"),
    "gnu-tar-files-only": gnu_tar_files_only,
    "bsdtar-default": bsdtar(None),
    "bsdtar-ustar": bsdtar("ustar"),
    "tarfile-ustar": python_tarfile(tarfile.USTAR_FORMAT),
    "tarfile-gnu": python_tarfile(tarfile.GNU_FORMAT),
    "tarfile-pax": python_tarfile(tarfile.PAX_FORMAT),
}


@pytest.mark.parametrize("archiver", ARCHIVERS.values(), ids=ARCHIVERS.keys())
def test_a_tools_archive_is_unpacked_byte_for_byte(tmp_path, archiver):
    runtime = runtime_tree(tmp_path / "staging")
    archive = tmp_path / "runtime.tar.gz"
    archiver(runtime.home, archive)
    run, jre = start(tmp_path, archive.read_bytes())
    assert_unpacked_and_started(run, jre, runtime)
