"""Expanding the packed jars of a designated runtime directory with the
runtime's own unpack tool before it is checked: which jars, in what order,
with what arguments, when nothing is done, and a runtime whose jars could
not all be expanded, which is never taken for a whole one."""
import gzip
import shutil
import time
from pathlib import Path

from conftest import NO_JRE_FOUND, pack, probe, run_launcher, windows_path
from payload_support import Launch
from runtime_doubles import DOUBLES, loaded_libraries, make_runtime
from test_runtime_archive import Runtime, launcher as archive_launcher, start, tar, tree

PACKED = ["lib/rt.jar", "lib/charsets.jar", "lib/plugin.jar", "lib/deploy.jar", "lib/ext/localedata.jar",
          "lib/jsse.jar"]
PREPARING = "Preparing JRE ...\r\n"


def packed_runtime(home, jars, tool=True):
    """A runtime whose `jars` are still packed; the pack holds the jar's name."""
    make_runtime(home)
    for jar in jars:
        pack_file = home / (jar + ".pack")
        pack_file.parent.mkdir(parents=True, exist_ok=True)
        pack_file.write_text(jar)
    if tool:
        shutil.copy(DOUBLES / "unpack200.exe", home / "bin" / "unpack200.exe")
    return home


def tool_runs(home):
    log = home / "bin" / "unpack200.log"
    return log.read_text().splitlines() if log.exists() else []


def launcher(tmp_path, directory):
    return pack(tmp_path, f"[launcher]\ntype = \"console\"\n[keys]\n\"128\" = 'A{directory}'\n"
                          '[messages]\ninternal_error = "internal error %ERROR_CODE%"\n')


def test_packed_jars_are_expanded_in_order_once(tmp_path):
    home = packed_runtime(tmp_path / "my jre", ["lib/jsse.jar", "lib/ext/localedata.jar", "lib/rt.jar",
                                                "lib/charsets.jar"])
    directory = windows_path(home)  # absolute: the launcher's own directory is in short form
    exe = launcher(tmp_path, directory)
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout, run.stderr) == (0, PREPARING, "")
    expected = [f"start -r|{directory}\\{jar}.pack|{directory}\\{jar}".replace("/", "\\")
                for jar in ["lib/rt.jar", "lib/charsets.jar", "lib/ext/localedata.jar", "lib/jsse.jar"]]
    assert [line.lower() for line in tool_runs(home)] == [line.lower() for line in expected]
    for jar in ["lib/rt.jar", "lib/charsets.jar", "lib/ext/localedata.jar", "lib/jsse.jar"]:
        assert (home / jar).read_text() == jar
        assert not (home / (jar + ".pack")).exists()
    assert loaded_libraries(tmp_path) == ["my jre/bin/client"]
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout) == (0, "")
    assert len(tool_runs(home)) == 4


def test_nothing_is_done_without_pack_files(tmp_path):
    expanded = packed_runtime(tmp_path / "expanded", [])
    run = run_launcher(launcher(tmp_path, expanded.name), "-q")
    assert (run.returncode, run.stdout, run.stderr) == (0, "", "")
    assert tool_runs(expanded) == []


def test_every_pack_file_left_is_expanded_whatever_else_is_there(tmp_path):
    # An expansion ended part-way: the tool deletes a pack only once its jar
    # is written, so a jar beside its pack (here the last one, which once
    # counted as the mark of an expanded runtime) is incomplete, and a
    # missing main pack means only that the main jar is done.
    home = packed_runtime(tmp_path / "jre", PACKED[1:])
    (home / "lib" / "rt.jar").write_text("lib/rt.jar")
    (home / "lib" / "jsse.jar").write_text("cut sho")
    run = run_launcher(launcher(tmp_path, home.name), "-q")
    assert (run.returncode, run.stdout, run.stderr) == (0, PREPARING, "")
    # The jar argument of each run, below the runtime directory.
    assert [line.split("|")[-1].split("\\jre\\")[-1] for line in tool_runs(home)] == [
        jar.replace("/", "\\") for jar in PACKED[1:]]
    for jar in PACKED:
        assert (home / jar).read_text() == jar
    assert loaded_libraries(tmp_path) == ["jre/bin/client"]


def test_a_runtime_whose_jars_cannot_all_be_expanded_is_refused(tmp_path):
    home = packed_runtime(tmp_path / "jre", PACKED)
    (home / "lib" / "charsets.jar.pack").write_text("fail: damaged")
    exe = pack(tmp_path, f"[launcher]\ntype = \"console\"\n[keys]\n\"128\" = 'A{home.name}'\n"
                         '[messages]\nno_runtime = "No runtime"\n')
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout, run.stderr) == (83, PREPARING + NO_JRE_FOUND, "")
    assert len(tool_runs(home)) == 6  # the others were expanded
    assert loaded_libraries(tmp_path) == []


def test_missing_unpack_tool_is_an_internal_error(tmp_path):
    packed_runtime(tmp_path / "jre", PACKED, tool=False)
    run = run_launcher(launcher(tmp_path, "jre"), "-q")
    assert (run.returncode, run.stdout, run.stderr) == (1, PREPARING, "internal error 20\r\n")


# --- the packed jars of a runtime archive (key 153) ----------------------------

ARCHIVE_PACKED = ["lib/rt.jar", "lib/jsse.jar"]
PACKED_JARS_KEY = "[runtime]\npacked_jars = true\n"


def packed_archive(tmp_path, first_pack="lib/rt.jar"):
    """A gzip-compressed runtime archive of doubles whose two jars are
    packed; the first pack's content is `first_pack`."""
    runtime = Runtime(tmp_path / "staging", packed=ARCHIVE_PACKED)
    (runtime.home / "lib" / "rt.jar.pack").write_text(first_pack)
    return runtime, gzip.compress(tar(tree(runtime.home)))


def test_an_unpack_tool_planted_beside_the_launcher_is_never_run(tmp_path):
    planted = tmp_path / "jre" / "bin"
    planted.mkdir(parents=True)
    shutil.copy(DOUBLES / "unpack200.exe", planted / "unpack200.exe")
    runtime, archive = packed_archive(tmp_path)
    run, jre = start(tmp_path, archive, runtime=PACKED_JARS_KEY)
    assert (run.returncode, run.stdout, run.stderr) == (0, PREPARING, "")
    assert not (planted / "unpack200.log").exists()
    assert len(tool_runs(jre)) == len(ARCHIVE_PACKED)  # the extracted runtime's own tool
    assert runtime.started()


def test_an_unpacked_runtime_with_a_jar_left_packed_is_removed_and_refused(tmp_path):
    runtime, archive = packed_archive(tmp_path, first_pack="fail: damaged")
    run, jre = start(tmp_path, archive, runtime=PACKED_JARS_KEY)
    assert (run.returncode, run.stdout, run.stderr) == (83, PREPARING, "No runtime\r\n")
    assert not jre.exists()
    assert not runtime.double.calls()


def running_programs(path_part):
    """The Linux processes (Wine's included) whose command line names `path_part`."""
    found = []
    for cmdline in Path("/proc").glob("[0-9]*/cmdline"):
        try:
            text = cmdline.read_bytes().replace(b"\0", b" ").decode("utf-8", "replace")
        except OSError:
            continue
        if path_part.lower() in text.lower():
            found.append(text)
    return found


def test_cancel_during_the_expansion_ends_the_tool_and_removes_the_runtime(tmp_path):
    runtime, archive = packed_archive(tmp_path, first_pack="hold: slow")
    exe = archive_launcher(tmp_path, archive, PACKED_JARS_KEY)
    temp = tmp_path / "temp"
    temp.mkdir()
    process = Launch(tmp_path, exe, temp_dir=temp)
    log = None
    deadline = time.monotonic() + 30
    while log is None or not log.exists():
        assert time.monotonic() < deadline, "the unpack tool did not start"
        time.sleep(0.1)
        directories = list(temp.glob("ksl*_dir*"))
        log = directories[0] / "jre" / "bin" / "unpack200.log" if directories else None
    payload = log.parents[2]
    assert running_programs(payload.name)  # the slow tool, holding
    probe(window_class="MyDlgClass", press=2)
    started = time.monotonic()
    run = process.finish()
    assert run.returncode == 0, run
    assert time.monotonic() - started < 10
    assert running_programs(payload.name) == []
    assert sorted(p.name for p in payload.iterdir()) == []
    assert not runtime.double.calls()
