"""Real third-party programs packaged as a user would: the projects of
samples/jflex (JFlex, the lexer generator, and the two CUP jars it needs) and
samples/rhino (the Rhino JavaScript shell, with a scanned lib folder beside
the launcher), over the jars Debian packages, built with kestrel-pack and
run under Wine on the real VM next to plain `java -cp … Main` with the same
arguments, in the same folder. Output, generated files and exit codes are
the same: with and without the quiet switch, at the first start and the next,
with spaces, quotes, € and Ω in the arguments, and as a Windows parent sees
the exit code (cmd /c … & echo %ERRORLEVEL%)."""
import getpass
import os
import shutil
import subprocess
from dataclasses import dataclass
from pathlib import Path

import pytest

from conftest import (ARCH, PACKER, PREFIX, REAL_HOME, REGISTRY_KEY, ROOT, WINE, reg_query, wine_environment,
                      windows_path)

JARS = Path("/usr/share/java")
TEMP = PREFIX / "dosdevices" / "c:" / "users" / getpass.getuser() / "Temp"

# Arguments every program gets, the way a user types them. (No absolute
# Windows path: the test VM's bridge hands the Linux VM such strings as the
# Linux file names they stand for.)
AWKWARD = ["two words", 'say "hi"', "it's", "price\u20ac.txt", "\u03a9mega.txt", "back\\slash\\", ""]

ARGS_SCRIPT = """\
for (var i = 0; i < arguments.length; i++) print("[" + i + "] " + arguments[i]);
var out = new java.io.PrintWriter(new java.io.OutputStreamWriter(
    new java.io.FileOutputStream("out-" + arguments[0] + ".txt"), "UTF-8"));
out.println(arguments.join("|"));
out.close();
print("working directory " + new java.io.File(".").getCanonicalPath());
if (java.lang.System.getProperty("demo.greeting")) print(java.lang.System.getProperty("demo.greeting"));
quit(arguments.length);
"""


@dataclass
class App:
    project: Path
    main_class: str
    class_path: list

    def java(self, vm_options, arguments, cwd):
        """Plain java with the same class path and arguments: (code, out, err)."""
        command = ["java", *vm_options, "-cp", ":".join(map(str, self.class_path)), self.main_class, *arguments]
        result = subprocess.run(command, cwd=cwd, capture_output=True, timeout=120)
        return result.returncode, result.stdout, result.stderr


JFLEX = App(ROOT / "samples" / "jflex" / "jflex.toml", "jflex.Main",
            [JARS / "jflex.jar", JARS / "cup.jar", JARS / "cup_runtime.jar"])
RHINO = App(ROOT / "samples" / "rhino" / "rhino.toml", "org.mozilla.javascript.tools.shell.Main",
            [JARS / "js.jar", JARS / "jline.jar"])


@pytest.fixture(scope="module")
def launchers(tmp_path_factory):
    for artifact in (REAL_HOME / "bin" / "server" / "jvm.dll", *JFLEX.class_path, *RHINO.class_path):
        assert artifact.exists(), f"{artifact} is missing (make realjvm; tools/setup.sh installs jflex and rhino)"
    directory = tmp_path_factory.mktemp("apps")
    built = {}
    for name, app in (("jflex", JFLEX), ("rhino", RHINO)):
        # The sample's project for the architecture under test.
        project = directory / app.project.name
        project.write_text(app.project.read_text().replace('arch = "x64"', f'arch = "{ARCH}"'))
        output = directory / f"{name}.exe"
        result = subprocess.run([PACKER, "build", project, "-o", output], capture_output=True, text=True)
        assert result.returncode == 0, result.stderr
        built[name] = output
    # Rhino's project scans the lib folder beside the launcher.
    (directory / "lib").mkdir()
    shutil.copy(JARS / "jline.jar", directory / "lib")
    return built


@pytest.fixture
def work(tmp_path):
    """The folder both runs start in, with the inputs of the programs."""
    shutil.copy(ROOT / "samples" / "jflex" / "words.flex", tmp_path)
    (tmp_path / "args.js").write_text(ARGS_SCRIPT)
    return tmp_path


def outputs(folder, inputs=("words.flex", "args.js")):
    """Every file the run wrote below `folder`, by relative path, and removes them."""
    files = {}
    for path in sorted(folder.rglob("*")):
        if path.is_file() and path.name not in inputs:
            files[str(path.relative_to(folder))] = path.read_bytes()
    for entry in folder.iterdir():
        if entry.name not in inputs:
            shutil.rmtree(entry) if entry.is_dir() else entry.unlink()
    return files


def launch(exe, arguments, cwd, parent=None):
    """The launcher under Wine, started from `cwd`: (code, out, err). With a
    `parent` of "cmd", started by cmd, which echoes the code it sees."""
    env = {**wine_environment(), "JAVA_HOME": windows_path(REAL_HOME)}
    command = [WINE, exe, *arguments]
    if parent == "cmd":
        line = subprocess.list2cmdline([windows_path(exe), *arguments])
        command = [WINE, "cmd", "/c", f"{line} & echo %ERRORLEVEL%"]
    result = subprocess.run(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    return result.returncode, result.stdout, result.stderr


def same_as_java(app, exe, work, launcher_words, arguments):
    """Runs the launcher with its own words and the arguments, then java with
    the launcher's -J options and the arguments; both must do exactly the same."""
    by_launcher = launch(exe, [*launcher_words, *arguments], work), outputs(work)
    vm_options = [word[2:] for word in launcher_words if word.startswith("-J")]
    by_java = app.java(vm_options, arguments, work), outputs(work)
    assert by_launcher == by_java
    return by_launcher


@pytest.mark.parametrize("quiet", [["-q"], []], ids=["quiet", "dialog"])
def test_rhino_runs_a_script_as_java_does_twice_in_a_row(launchers, work, quiet):
    for start in range(2):
        (code, out, _), files = same_as_java(RHINO, launchers["rhino"], work, quiet, ["args.js", f"run{start}", *AWKWARD])
        assert code == 1 + len(AWKWARD)  # the script quits with its argument count
        assert f"[2] {AWKWARD[1]}".encode() in out
        assert files == {f"out-run{start}.txt": "|".join([f"run{start}", *AWKWARD]).encode() + b"\n"}
        # A start that reached the application leaves nothing to ask about next time.
        assert reg_query(REGISTRY_KEY, "InstallStarted") in (None, "0x0")


def test_rhino_takes_j_words_and_the_quiet_switch_in_either_order(launchers, work):
    (_, out, _), _ = same_as_java(RHINO, launchers["rhino"], work, ["-J-Ddemo.greeting=gr\u00fc\u00df \u20ac", "-q"],
                                  ["args.js", "x", "-q", "-J-Dlate=1"])
    assert "gr\u00fc\u00df \u20ac".encode() in out
    assert b"[1] -q\n[2] -J-Dlate=1\n" in out


def test_rhino_script_errors_end_with_rhinos_own_code(launchers, work):
    (code, _, err), _ = same_as_java(RHINO, launchers["rhino"], work, ["-q"], ["-e", 'throw new Error("boom \u03a9")'])
    assert code == 3
    assert "boom \u03a9".encode() in err


@pytest.mark.parametrize("quiet", [["-q"], []], ids=["quiet", "dialog"])
def test_jflex_writes_the_same_lexer_where_it_was_started(launchers, work, quiet):
    for start in range(2):
        (code, out, _), files = same_as_java(JFLEX, launchers["jflex"], work, quiet,
                                             ["--nobak", "-d", "gen \u20ac\u03a9", "words.flex"])
        assert code == 0
        assert list(files) == [os.path.join("gen \u20ac\u03a9", "Words.java")]
        assert b"class Words" in files[os.path.join("gen \u20ac\u03a9", "Words.java")]


def test_jflex_errors_end_with_jflexs_own_code(launchers, work):
    (code, out, _), _ = same_as_java(JFLEX, launchers["jflex"], work, ["-q"], ["missing \u20ac.flex"])
    assert code == 1
    assert "missing \u20ac.flex".encode() in out
    (code, _, _), _ = same_as_java(JFLEX, launchers["jflex"], work, ["-q"], ["--no-such-option"])
    assert code == 1


@pytest.mark.parametrize("app, arguments, code", [
    ("rhino", ["args.js", "one", "two", "three"], 3),
    ("jflex", ["missing.flex"], 1),
    ("jflex", ["-d", "gen", "words.flex"], 0),
])
def test_a_windows_parent_sees_the_exit_code(launchers, work, app, arguments, code):
    _, out, _ = launch(launchers[app], ["-q", *arguments], work, parent="cmd")
    assert out.decode("latin-1").rstrip().splitlines()[-1] == str(code)


def test_payload_folders_of_ended_starts_are_removed(launchers, work):
    """Three quick starts, then one that runs long enough for its cleanup
    thread to finish: of their folders, only the running start's is left.
    (Folders of earlier tests stay: each test starts with the launcher's
    registry state, their record included, deleted.)"""
    before = set(TEMP.glob("ksl*.tmp_dir*"))
    for start in range(3):
        launch(launchers["rhino"], ["-q", "-e", "quit(0)"], work)
    code, out, _ = launch(launchers["rhino"], [
        "-q", "-e", 'print(java.lang.System.getProperty("kestrel.tempDir")); java.lang.Thread.sleep(3000)'], work)
    assert code == 0
    own = out.decode().strip()
    left = [path.name for path in set(TEMP.glob("ksl*.tmp_dir*")) - before]
    assert left == [Path(own).name], left


def test_a_console_program_started_with_the_dialog_may_run_past_a_minute(launchers, work):
    """The dialog waits 60 seconds for a window; a console program shows
    none and must not be stopped for it."""
    script = "java.lang.Thread.sleep(65000); print('still running'); quit(4)"
    (code, out, err), _ = same_as_java(RHINO, launchers["rhino"], work, [], ["-e", script])
    assert (code, out, err) == (4, b"still running\n", b"")
