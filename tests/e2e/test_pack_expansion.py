"""Expanding the packed jars of a designated runtime directory with the
runtime's own unpack tool before it is checked: which jars, in what order,
with what arguments, and when nothing is done."""
import shutil

from conftest import pack, run_launcher, windows_path
from runtime_doubles import DOUBLES, loaded_libraries, make_runtime

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


def test_nothing_is_done_with_the_marker_jar_or_without_the_main_pack(tmp_path):
    expanded = packed_runtime(tmp_path / "expanded", PACKED)
    (expanded / "lib" / "jsse.jar").write_text("already")
    unpacked_main = packed_runtime(tmp_path / "nomain", PACKED[1:])
    for home in (expanded, unpacked_main):
        run = run_launcher(launcher(tmp_path, home.name), "-q")
        assert (run.returncode, run.stdout, run.stderr) == (0, "", "")
        assert tool_runs(home) == []


def test_missing_unpack_tool_is_an_internal_error(tmp_path):
    packed_runtime(tmp_path / "jre", PACKED, tool=False)
    run = run_launcher(launcher(tmp_path, "jre"), "-q")
    assert (run.returncode, run.stdout, run.stderr) == (1, PREPARING, "internal error 20\r\n")
