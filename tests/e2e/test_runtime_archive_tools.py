"""Runtime archives as real tools write them: GNU tar, bsdtar and Python's
tarfile in the ustar, GNU and pax formats, and an archive listing only files
(as `tar -T list` makes it), each from a runtime tree with a 180-byte path
and names outside Windows-1252, and symbolic links (with a target past 100
bytes where the format can hold one: a GNU long-link entry or a pax
linkpath record). The launcher unpacks each, and the result is compared
byte for byte with the tree, the links left out."""
import gzip
import io
import subprocess
import tarfile

import pytest

from test_runtime_archive import Runtime, files_below, start

DEEP = ("legal/java.base/" + "d" * 70 + "/" + "f" * 80 + ".txt")
DEEP = "p" * (180 - len(DEEP) - 1) + "/" + DEEP
NON_ASCII = ["lib/\u65e5\u672c\u8a9e/\u30c6\u30b9\u30c8.properties",  # Japanese
             "conf/caf\u00e9-\u0153uvre.txt",  # \u0153 is in Windows-1252, \u00e9 too
             "lib/\u03b1\u03b2\u03b3.jar"]  # Greek


def runtime_tree(root, long_link):
    """The doubles' runtime home with the long and the non-ASCII names and
    symbolic links to java.exe added, one with a 108-byte target when
    `long_link`."""
    runtime = Runtime(root)
    assert len(DEEP.encode()) == 180
    for index, name in enumerate([DEEP] + NON_ASCII):
        path = runtime.home / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(f"{index}: {name}\n".encode() * (index + 1))
    (runtime.home / "bin" / "java-link").symlink_to("java.exe")
    if long_link:
        (runtime.home / "bin" / "long-link").symlink_to("./" * 50 + "java.exe")
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
# The formats that hold link targets of at most 100 bytes.
USTAR = {"gnu-tar-ustar", "bsdtar-ustar", "tarfile-ustar"}


@pytest.mark.parametrize("archiver", ARCHIVERS)
def test_a_tools_archive_is_unpacked_byte_for_byte(tmp_path, archiver):
    runtime = runtime_tree(tmp_path / "staging", long_link=archiver not in USTAR)
    archive = tmp_path / "runtime.tar.gz"
    ARCHIVERS[archiver](runtime.home, archive)
    run, jre = start(tmp_path, archive.read_bytes())
    assert (run.returncode, run.stdout, run.stderr) == (0, "", "")
    links = {p.relative_to(runtime.home).as_posix() for p in runtime.home.rglob("*") if p.is_symlink()}
    assert len(links) == (1 if archiver in USTAR else 2)
    assert files_below(jre) == {name: data for name, data in files_below(runtime.home).items() if name not in links}
    assert runtime.started()
