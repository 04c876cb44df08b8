"""A runtime archive in the payload ("jre.tar.gz", written with Python's
tarfile): unpacked into "jre" beside it and deleted, then loaded as the
runtime and started (the JNI double of test_vm_start); long names kept,
links and hostile names that would leave "jre" passed over; files whose
directories the archive does not list; archives without end blocks,
truncated or damaged, which leave nothing behind; the runtime check's
messages and exit code 83; a file that cannot be created; and key 153's
expansion of packed jars, quiet and with the progress dialog. Real tools'
archives: test_runtime_archive_tools.py; the hostile set:
test_runtime_archive_hostile.py."""
import gzip
import shutil
import tarfile
import uuid
from pathlib import Path

import pytest

from conftest import PREFIX, REGISTRY_KEY, pack, reg_query, windows_path
from payload_support import launch, payload_directories, the_payload_directory
from runtime_doubles import DOUBLES, loaded_libraries
from test_vm_start import Double

MESSAGES = """
[messages]
no_runtime = "No runtime"
defined_path_runtime_damaged = "Damaged runtime in %DEFINED_PATH%"
vm_start_failed = "VM start failed"
internal_error = "Internal %ERROR_CODE%"
"""
PREPARING = "Preparing JRE ...\r\n"
BLOCK = 512


# --- archives ----------------------------------------------------------------

def entry(name, data=b"", kind=tarfile.REGTYPE, fmt=tarfile.GNU_FORMAT, linkname=""):
    """The bytes of one entry: its header block(s) (a long name adds its own
    entry first), its data and the padding to whole blocks."""
    info = tarfile.TarInfo(name)
    info.type, info.size, info.linkname, info.mode = kind, len(data), linkname, 0o755
    padding = -len(data) % BLOCK
    return info.tobuf(fmt, "utf-8", "surrogateescape") + data + bytes(padding)


def directory(name, fmt=tarfile.GNU_FORMAT):
    return entry(name, kind=tarfile.DIRTYPE, fmt=fmt)  # tarfile adds the trailing "/"


def tree(home, fmt=tarfile.GNU_FORMAT, first=()):
    """Entries for everything below `home`, each directory before what it
    holds; the files named in `first` (relative, with '/') come before the others."""
    paths = sorted(home.rglob("*"))
    directories = [directory(p.relative_to(home).as_posix(), fmt) for p in paths if p.is_dir()]
    files = sorted((p for p in paths if p.is_file()), key=lambda p: p.relative_to(home).as_posix() not in first)
    return directories + [entry(p.relative_to(home).as_posix(), p.read_bytes(), fmt=fmt) for p in files]


def tar(entries, end_blocks=True):
    return b"".join(entries) + (bytes(2 * BLOCK) if end_blocks else b"")


def files_below(root):
    """Every file below `root` (relative, with '/') with its content, apart
    from the logs that the doubles write when they run."""
    return {p.relative_to(root).as_posix(): p.read_bytes() for p in sorted(root.rglob("*"))
            if p.is_file() and p.suffix != ".log"}


class Runtime:
    """A runtime home of doubles (java.exe answering a version line, the JNI
    double as jvm.dll) staged in `root`, and its record of JNI calls."""

    def __init__(self, root, packed=()):
        self.double = Double(root)
        self.home = self.double.home
        if packed:
            shutil.copy(DOUBLES / "unpack200.exe", self.home / "bin" / "unpack200.exe")
            for jar in packed:
                pack_file = self.home / (jar + ".pack")
                pack_file.parent.mkdir(parents=True, exist_ok=True)
                pack_file.write_text(jar)

    def started(self):
        names = self.double.call_names()
        return "JNI_CreateJavaVM" in names and "main" in names and names[-1] == "DestroyJavaVM"


def assert_unpacked_and_started(run, jre, runtime, added=None):
    """A clean start on the unpacked runtime, "jre" holding exactly the
    runtime's files and `added` (relative name: content)."""
    assert (run.returncode, run.stdout, run.stderr) == (0, "", "")
    assert files_below(jre) == {**files_below(runtime.home), **(added or {})}
    assert runtime.started()


def launcher(tmp_path, archive, runtime=""):
    """A console launcher whose payload is the gzip-compressed `archive`
    as "jre.tar.gz"; no other runtime source is configured."""
    (tmp_path / "runtime.tgz").write_bytes(archive)
    project = ('[launcher]\ntype = "console"\n'
               '[payload]\nfiles = [{ source = "runtime.tgz", name = "jre.tar.gz" }]\nruntime_jar = false\n'
               f"{runtime}\n{MESSAGES}")
    return pack(tmp_path, project, name="app.exe")


def start(tmp_path, archive, *args, runtime="", dialog=False):
    """Runs the launcher (quiet unless `dialog`) with a temporary directory
    of its own; returns the run and the extracted "jre" directory."""
    exe = launcher(tmp_path, archive, runtime)
    temp = tmp_path / "temp"
    temp.mkdir(exist_ok=True)
    run = launch(tmp_path, exe, *(() if dialog else ("-q",)), *args, temp_dir=temp)
    return run, the_payload_directory(temp) / "jre"


# --- complete archives -----------------------------------------------------------

@pytest.mark.parametrize("fmt, end_blocks", [(tarfile.GNU_FORMAT, True), (tarfile.USTAR_FORMAT, True),
                                             (tarfile.PAX_FORMAT, False)],
                         ids=["gnu", "ustar", "pax-without-end-blocks"])
def test_the_archive_is_unpacked_deleted_and_its_runtime_started(tmp_path, fmt, end_blocks):
    runtime = Runtime(tmp_path / "staging")
    # A size that is a multiple of 512 has no padding behind it.
    (runtime.home / "lib").mkdir()
    (runtime.home / "lib" / "blocks.bin").write_bytes(bytes(range(256)) * 4)
    (runtime.home / "lib" / "empty.txt").write_bytes(b"")
    (runtime.home / "release").write_text('JAVA_VERSION="1.8.0_202"\n')
    archive = gzip.compress(tar(tree(runtime.home, fmt), end_blocks))
    run, jre = start(tmp_path, archive)
    assert (run.returncode, run.stdout, run.stderr) == (0, "", "")
    assert files_below(jre) == files_below(runtime.home)
    assert [p.name for p in jre.parent.iterdir()] == ["jre"]  # the archive is gone
    assert loaded_libraries(jre.parent) == ["jre/bin/client"]
    assert runtime.started()
    # With an archive there is no runtime search.
    assert reg_query(REGISTRY_KEY, "InstallStarted") is None


def test_entries_behind_the_end_blocks_are_not_read(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    archive = gzip.compress(tar(tree(runtime.home)) + entry("behind.txt", b"never") + bytes(2 * BLOCK))
    run, jre = start(tmp_path, archive)
    assert run.returncode == 0, run
    assert not (jre / "behind.txt").exists()


def test_links_are_passed_over_with_their_data_and_long_names_kept_whole(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    gnu_name = "bin/" + "x" * 150
    pax_name = "lib/" + "p" * 150
    archive = gzip.compress(tar(tree(runtime.home) + [
        entry("bin/link", b"link data", kind=tarfile.SYMTYPE, linkname="java.exe"),
        entry("bin/hard", b"hard data", kind=tarfile.LNKTYPE, linkname="bin/java.exe"),
        # A long link target: a GNU long-link entry, then the link.
        entry("bin/long-link", kind=tarfile.SYMTYPE, linkname="../" * 50 + "java.exe"),
        entry("fifo", kind=tarfile.FIFOTYPE),
        # GNU: a long-name entry, then the file under its name cut to the field.
        entry(gnu_name, b"gnu long", fmt=tarfile.GNU_FORMAT),
        # POSIX: an extended header with the path, then the file likewise.
        directory("lib"),
        entry(pax_name, b"pax long", fmt=tarfile.PAX_FORMAT),
        entry("after.txt", b"after"),
    ]))
    run, jre = start(tmp_path, archive)
    assert_unpacked_and_started(run, jre, runtime, {gnu_name: b"gnu long", pax_name: b"pax long", "after.txt": b"after"})


def test_hostile_names_are_skipped_with_their_data(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    unique = f"kestrel-e2e-{uuid.uuid4().hex}"
    hostile = [
        entry("../up.txt", b"up"),
        entry("bin/../../up2.txt", b"up2"),
        entry("..\\up3.txt", b"up3"),
        entry(f"/{unique}-rooted.txt", b"rooted"),  # the root of the current drive (Z:, the Linux root)
        entry(f"C:/{unique}-drive.txt", b"drive"),
        entry(f"C:{unique}-relative.txt", b"drive relative"),
        entry("bin/java.cfg:stream", b"stream"),
        entry("...", b"dots"),
        directory("../updir"),
    ]
    kept = [entry("bin/kept.txt", b"kept")]
    archive = gzip.compress(tar(tree(runtime.home) + [h + k for h in hostile for k in kept]))
    run, jre = start(tmp_path, archive)
    assert (run.returncode, run.stdout, run.stderr) == (0, "", "")
    expected = files_below(runtime.home)
    expected["bin/kept.txt"] = b"kept"
    assert files_below(jre) == expected
    assert [p.name for p in jre.parent.iterdir()] == ["jre"]
    payload_directories(tmp_path / "temp")  # nothing else in the temporary directory
    assert not Path(f"/{unique}-rooted.txt").exists()
    assert not list((PREFIX / "drive_c").glob(f"{unique}*"))
    assert runtime.started()


# --- damaged archives and runtimes -------------------------------------------

def test_a_truncated_archive_leaves_nothing_and_the_runtime_check_fails(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    jvm = (runtime.home / "bin" / "client" / "jvm.dll").read_bytes()
    whole = tar(tree(runtime.home, first=["bin/client/jvm.dll"]))
    cut = whole.index(jvm) + len(jvm) // 2
    run, jre = start(tmp_path, gzip.compress(whole[:cut]))
    assert (run.returncode, run.stdout, run.stderr) == (83, "", "No runtime\r\n")
    # Neither the partial runtime nor the archive is left.
    assert list(jre.parent.iterdir()) == []
    assert not runtime.double.calls()


def test_a_cut_compressed_stream_ends_the_extraction(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    compressed = gzip.compress(tar(tree(runtime.home, first=["bin/client/jvm.dll"])))
    run, jre = start(tmp_path, compressed[:len(compressed) // 2])
    assert (run.returncode, run.stdout, run.stderr) == (83, "", "No runtime\r\n")
    assert list(jre.parent.iterdir()) == []


def test_a_runtime_without_its_library_ends_with_83_after_both_messages(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    shutil.rmtree(runtime.home / "bin" / "client")
    run, jre = start(tmp_path, gzip.compress(tar(tree(runtime.home))))
    assert (run.returncode, run.stdout) == (83, "")
    assert run.stderr.lower() == f"Damaged runtime in {windows_path(jre)}\r\nVM start failed\r\n".lower()


def test_an_archive_without_a_runtime_ends_with_83(tmp_path):
    run, jre = start(tmp_path, gzip.compress(tar([directory("bin"), entry("bin/readme.txt", b"no runtime")])))
    assert (run.returncode, run.stdout, run.stderr) == (83, "", "No runtime\r\n")
    assert files_below(jre) == {"bin/readme.txt": b"no runtime"}


def test_files_without_directory_entries_get_their_parents(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    files = [p for p in sorted(runtime.home.rglob("*")) if p.is_file()]
    archive = gzip.compress(tar([entry(p.relative_to(runtime.home).as_posix(), p.read_bytes()) for p in files]
                                + [entry("missing/x.txt", b"x")]))
    run, jre = start(tmp_path, archive)
    assert_unpacked_and_started(run, jre, runtime, {"missing/x.txt": b"x"})


def test_a_file_that_cannot_be_created_ends_the_process_and_leaves_nothing(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    # A file where the directory "bin" already is.
    archive = gzip.compress(tar(tree(runtime.home) + [entry("bin", b"x"), entry("after.txt", b"a")]))
    run, jre = start(tmp_path, archive)
    # The fixed text ends with a line feed of its own, and the report adds one.
    assert (run.returncode, run.stdout, run.stderr) == (1, "", "Could not write file bin\r\n\r\n")
    assert list(jre.parent.iterdir()) == []
    assert not runtime.double.calls()


# --- packed jars (key 153) -----------------------------------------------------

PACKED = ["lib/rt.jar", "lib/jsse.jar"]


def tool_runs(jre):
    log = jre / "bin" / "unpack200.log"
    return log.read_text().splitlines() if log.exists() else []


def expanded(jre):
    return all((jre / jar).read_text() == jar and not (jre / (jar + ".pack")).exists() for jar in PACKED)


def test_packed_jars_are_expanded_in_the_unpacked_runtime(tmp_path):
    runtime = Runtime(tmp_path / "staging", packed=PACKED)
    run, jre = start(tmp_path, gzip.compress(tar(tree(runtime.home))), runtime="[runtime]\npacked_jars = true\n")
    assert (run.returncode, run.stdout, run.stderr) == (0, PREPARING, "")
    # The extraction expands "jre", by its absolute path, before the runtime check.
    home = windows_path(jre).lower()
    assert [line.lower() for line in tool_runs(jre)] == [
        f"start -r|{home}\\{jar}.pack|{home}\\{jar}".replace("/", "\\") for jar in PACKED]
    assert expanded(jre)
    assert runtime.started()


def test_without_key_153_only_the_runtime_check_expands_them(tmp_path):
    runtime = Runtime(tmp_path / "staging", packed=PACKED)
    run, jre = start(tmp_path, gzip.compress(tar(tree(runtime.home))))
    assert (run.returncode, run.stdout, run.stderr) == (0, PREPARING, "")
    # The runtime check of the runtime search expands the directory it resolved itself.
    home = windows_path(jre).lower()
    assert [line.lower() for line in tool_runs(jre)] == [
        f"start -r|{home}\\{jar}.pack|{home}\\{jar}".replace("/", "\\") for jar in PACKED]
    assert expanded(jre)


def test_with_the_progress_dialog_packed_jars_are_expanded_and_the_application_started(tmp_path):
    """The dialog mode's extraction: key 151 unset (0, no division), key 153
    on, so the animation thread runs beside the expansion."""
    runtime = Runtime(tmp_path / "staging", packed=PACKED)
    run, jre = start(tmp_path, gzip.compress(tar(tree(runtime.home))),
                     runtime="[runtime]\npacked_jars = true\n", dialog=True)
    assert (run.returncode, run.stdout, run.stderr) == (0, PREPARING, "")
    assert len(tool_runs(jre)) == 2 and expanded(jre)
    assert runtime.started()
    assert reg_query(REGISTRY_KEY, "InstallStarted") is None
