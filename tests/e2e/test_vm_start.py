"""The in-process VM start of a quiet launcher, on the JNI double of
tests/doubles (jvm.dll): the option list handed to JNI_CreateJavaVM in its
fixed order, the arguments of WinLauncher.main as UTF-16 strings, the
installer's first-run step, and every failure with its message and exit
code. The double records each call in a file; jni.cfg beside it scripts it."""
import json
import re
import shutil
import tempfile
import time
from pathlib import Path

import pytest

from conftest import (PROBE, REGISTRY_KEY, finish, pack, probe, reg_delete, run_launcher, start_launcher,
                      run_wine, windows_path)
from runtime_doubles import make_runtime

MESSAGES = """
[messages]
vm_start_failed = "VM start failed"
class_path_entry_missing = "Missing %FILE_NAME%"
bad_parameters = "Bad quotes"
env_var_undefined = "Define %ENV_VAR_NAME%"
internal_error = "Internal %ERROR_CODE%"
main_class_missing = "No main class"
main_method_missing = "No main method"
application_not_started = "Application not started"
application_failed = "Application failed"
"""


def error_line(text):
    """A message on standard error (text mode: the line feed arrives as CR LF)."""
    return text + "\r\n"


@pytest.fixture
def app_dir():
    """A directory whose every component is a valid 8.3 name, so that the
    launcher's short, lower-case path of itself is predictable."""
    directory = Path(tempfile.mkdtemp(prefix="", dir="/tmp"))
    yield directory
    shutil.rmtree(directory, ignore_errors=True)


class Double:
    """A runtime home with the JNI double and its record."""

    def __init__(self, root, control=(), windowed=False):
        self.home = make_runtime(root / "jre", version="1.8.0_202", javaw=windowed)
        self.record = root / "jni-record.txt"
        lines = [f"record {windows_path(self.record)}", *control]
        (self.home / "bin" / "client" / "jni.cfg").write_text("\n".join(lines) + "\n")

    def calls(self):
        if not self.record.exists():
            return []
        return [json.loads(line) for line in self.record.read_text().splitlines()]

    def call_names(self):
        return [call["call"] for call in self.calls()]

    def created(self):
        return next(call for call in self.calls() if call["call"] == "JNI_CreateJavaVM")

    def options(self):
        return self.created()["options"]

    def main_arguments(self):
        return next(call for call in self.calls() if call["call"] == "main")["arguments"]


def launcher(directory, double, text="", keys=None, flavour="application", kind="console", runtime_jar=False):
    """A quiet-startable launcher that finds the double's runtime through
    the search sequence (key 128). Without the runtime jar and payload files
    it has no payload directory, so the class path holds only what `text`
    configures."""
    keys = {"128": "A" + windows_path(double.home), **(keys or {})}
    project = (f'[launcher]\ntype = "{kind}"\nflavour = "{flavour}"\n{text}\n{MESSAGES}'
               f"[payload]\nruntime_jar = {str(runtime_jar).lower()}\n"
               "[keys]\n" + "".join(f'"{key}" = {json.dumps(value)}\n' for key, value in keys.items()))
    return pack(directory, project, name="app.exe")


def run_with_dialog(exe, double, *args):
    """Starts the launcher without "-q": its VM runs on the progress dialog's
    worker thread, and once the VM is destroyed the dialog is ended, which
    ends the process with exit code 0. The flag of an earlier runtime search
    is cleared, so that no question comes first."""
    reg_delete(REGISTRY_KEY)
    return finish(start_launcher(exe, *args), timeout=30)


def short_dir(directory):
    """The launcher's own view of its directory: lower case, trailing backslash."""
    return windows_path(directory).lower() + "\\"


def property_value(options, name):
    prefix = f"-D{name}="
    return next(option[len(prefix):] for option in options if option.startswith(prefix))


# --- the option list -------------------------------------------------------

def test_option_list_in_order_from_all_five_sources(app_dir, monkeypatch):
    double = Double(app_dir)
    monkeypatch.setenv("EXTRA_CP", '"c:\\extra\\a.jar;"')
    exe = launcher(app_dir, double, """
[java]
main_class = "com.example.Main"
class_path = [{ directory = "classes" }, { env = "EXTRA_CP" }, { archive = "lib\\\\app.jar" }]
vm_options = "-Xmx64m -Dapp.home=${KESTREL_EXEDIR} '-Dtitle=My App'"
command_line_vm_options = true
""")
    (app_dir / "app.exe.vmoptions").write_bytes(b"-Dfrom.file=1\r\n-Xss2m\r\n")
    # "-J" words lead the command line, so this start is not quiet.
    run = run_with_dialog(exe, double, "-J-Dfrom.command.line=1", "-J-Xint", "word")
    assert (run.returncode, run.stdout, run.stderr) == (0, "", ""), run
    directory = short_dir(app_dir)
    options = double.options()
    assert options[0] == "-Dkestrel.semaphoreName=" + directory.replace("\\", "_") + "app.exe"
    assert options[1] == "-Dkestrel.moduleName=" + windows_path(exe)
    assert re.fullmatch(r"-Dkestrel\.processCommFile=.*\\ksl_p\d+\.tmp", options[2]), options[2]
    assert options[3:] == [
        "-Dkestrel.tempDir=",
        "-Dfrom.file=1", "-Xss2m",
        f'-Djava.class.path=";{directory}classes;c:\\extra\\a.jar;{directory}lib\\app.jar;"',
        "-Xmx64m", f"-Dapp.home={directory}", "-Dtitle=My App",
        "-Dfrom.command.line=1", "-Xint",
    ]
    created = double.created()
    assert (created["version"], created["ignoreUnrecognized"]) == (0x00010002, True)
    assert double.main_arguments()[5:] == ["word"]
    assert double.call_names()[-1] == "DestroyJavaVM"


def test_options_file_lines_are_taken_verbatim(app_dir):
    double = Double(app_dir)
    exe = launcher(app_dir, double)
    long_line = "-D" + "x" * 8998
    (app_dir / "app.exe.vmoptions").write_bytes(
        b"-Da=1\r\n\r\n  -Db=2 \t\r\n#not-a-comment\n-Dc=3\n\n" + long_line.encode() + b"\n-Dlast=no-line-end")
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    from_file = double.options()[4:-1]
    assert from_file == ["-Da=1", "", "  -Db=2 \t", "#not-a-comment", "-Dc=3", "",
                         long_line[:8191], long_line[8191:], "-Dlast=no-line-end"]
    assert double.options()[-1] == '-Djava.class.path=";"'


def test_without_file_configured_options_or_j_words_only_properties_and_class_path(app_dir):
    double = Double(app_dir)
    exe = launcher(app_dir, double)
    run = run_launcher(exe, "-q", "-J-Xint")
    assert run.returncode == 0, run
    options = double.options()
    assert [option.split("=")[0] for option in options] == [
        "-Dkestrel.semaphoreName", "-Dkestrel.moduleName", "-Dkestrel.processCommFile", "-Dkestrel.tempDir",
        "-Djava.class.path"]
    # Key 125 off: the -J word is an application argument; the quiet switch
    # is the launcher's own and never reaches main.
    assert double.main_arguments()[5:] == ["-J-Xint"]


def test_quiet_switches_and_j_words_lead_in_either_order_up_to_the_first_plain_word(app_dir):
    double = Double(app_dir)
    exe = launcher(app_dir, double, "[java]\ncommand_line_vm_options = true\n")
    run = run_launcher(exe, "-J-Xint", "-q", "-J-Dtitle=My App", "-q", "-J-Dx=1")
    assert run.returncode == 0, run
    assert double.options()[-3:] == ["-Xint", "-Dtitle=My App", "-Dx=1"]
    assert double.main_arguments()[5:] == []

    double.record.unlink()
    # A lone prefix before a space gives no option and the scan goes on only
    # for a prefixed word; a -J word behind a plain one is an argument.
    run = run_with_dialog(exe, double, "-J-Dy=1", "-J", "plain", "-J-Dz=3")
    assert run.returncode == 0, run
    assert double.options()[-2:] == ['-Djava.class.path=";"', "-Dy=1"]
    assert double.main_arguments()[5:] == ["plain", "-J-Dz=3"]


def test_installer_property_and_runtime_archive_on_the_class_path(app_dir):
    double = Double(app_dir)
    exe = launcher(app_dir, double, flavour="installer", keys={"10003": "."})
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    options = double.options()
    assert "-Dkestrel.isTanager=true" in options[:4]
    tanager_dir = windows_path(app_dir).lower()
    assert options[-1] == f'-Djava.class.path=";{tanager_dir}\\.tanager\\tngruntime.jar;"'


# --- the arguments of main -------------------------------------------------

def test_empty_command_line_gives_exactly_the_five_fixed_arguments(app_dir):
    """Only a start without "-q" has an empty tail: the VM runs on the
    progress dialog's worker thread, and closing the dialog ends the process."""
    double = Double(app_dir)
    exe = launcher(app_dir, double)
    assert run_with_dialog(exe, double).returncode == 0
    assert double.main_arguments() == ["false", "", "", "", "false"]


def test_fixed_arguments_defaults_and_command_line(app_dir):
    double = Double(app_dir)
    exe = launcher(app_dir, double, """
[java]
main_class = "com.example.Main"
arguments = "first ${KESTREL_TEMPDIR} 'third word'"
""", runtime_jar=True)
    run = run_launcher(exe, "-q", "two words", "", "-q")
    assert run.returncode == 0, run
    # The payload directory; an empty one (no payload written) expands to no word.
    temp_dir = property_value(double.options(), "kestrel.tempDir")
    assert double.main_arguments() == [
        "false", "com.example.Main", "", "", "false",
        "first", *([temp_dir] if temp_dir else []), "third word",
        "two words", "", "-q"]


def test_windowed_flag_log_files_and_verbose_flag(app_dir):
    double = Double(app_dir, windowed=True)
    exe = launcher(app_dir, double, """
[java]
main_class = "com.example.Main"
runtime_verbose = true
[logs]
error_log = "Logs\\\\Error.LOG"
output_log = "C:\\\\Out\\\\OUT.log"
""", kind="windowed")
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    assert double.main_arguments() == [
        "true", "com.example.Main", short_dir(app_dir) + "Logs\\Error.LOG", "C:\\Out\\OUT.log", "true"]


def test_arguments_keep_every_character_and_configured_texts_are_windows_1252(app_dir):
    double = Double(app_dir)
    exe = launcher(app_dir, double, """
[java]
main_class = "com.example.Pr\u00e9ts"
arguments = "caf\u00e9 \u20acuro"
vm_options = "-Dprice=\u20ac5"
""")
    # Characters outside the ANSI code page (Omega, an emoji) come through the
    # wide command line; quotes and backslashes by the Windows rules.
    words = ["price\u20ac.txt", "\u03a9mega.txt", "\U0001F600", 'say "hi"', "it's", "C:\\dir\\", "a b"]
    run = run_launcher(exe, "-q", *words)
    assert run.returncode == 0, run
    assert double.main_arguments()[1] == "com.example.Pr\u00e9ts"
    assert double.main_arguments()[5:] == ["caf\u00e9", "\u20acuro", *words]
    # The VM reads its options in the ANSI code page (1252 here): the euro is 0x80.
    assert double.options()[-1] == "-Dprice=\x805"
    with open(double.record, encoding="ascii") as record:
        assert "\\u03a9mega" in record.read()


# --- the installer's first-run step ----------------------------------------

def first_run_marker(directory):
    marker = directory / ".tanager" / "firstrun"
    marker.parent.mkdir(parents=True, exist_ok=True)
    marker.write_text("")
    return marker


def test_installer_with_marker_runs_the_first_run_step_before_main(app_dir):
    double = Double(app_dir)
    exe = launcher(app_dir, double, flavour="installer", keys={"10003": "."})
    first_run_marker(app_dir)
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stderr) == (0, ""), run
    calls = double.calls()
    assert [call["call"] for call in calls] == [
        "JNI_CreateJavaVM", "FindClass", "GetStaticMethodID", "firstRun",
        "FindClass", "FindClass", "GetStaticMethodID", "FindClass", "main", "DestroyJavaVM"]
    assert (calls[1]["name"], calls[2]["name"], calls[2]["signature"]) == (
        "com/tanager/runtime/FirstRun", "firstRun", "()Z")
    # The Java side owns the marker: the launcher leaves it.
    assert (app_dir / ".tanager" / "firstrun").exists()


def test_installer_without_marker_and_application_with_marker_go_straight_to_main(app_dir):
    double = Double(app_dir)
    installer = launcher(app_dir, double, flavour="installer", keys={"10003": "."})
    assert run_launcher(installer, "-q").returncode == 0
    assert "firstRun" not in double.call_names()
    assert "main" in double.call_names()

    double.record.unlink()
    first_run_marker(app_dir)
    application = launcher(app_dir, double, flavour="application", keys={"10003": "."})
    assert run_launcher(application, "-q").returncode == 0
    assert "firstRun" not in double.call_names()
    assert "main" in double.call_names()


@pytest.mark.parametrize("control, described", [
    ("first_run_returns 0", False),
    ("first_run_throws", True),
])
def test_first_run_that_declines_or_throws_skips_main_and_ends_normally(app_dir, control, described):
    double = Double(app_dir, [control])
    exe = launcher(app_dir, double, flavour="installer", keys={"10003": "."})
    first_run_marker(app_dir)
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    names = double.call_names()
    assert "main" not in names
    assert names[-1] == "DestroyJavaVM"
    assert ("ExceptionDescribe" in names) == described
    expected_err = "Exception in thread \"main\" java.lang.IllegalStateException: thrown by firstRun\r\n"
    assert run.stderr == (expected_err if described else "")


# --- failures ----------------------------------------------------------------

@pytest.mark.parametrize("control, flavour, message", [
    ("create_fails -6", "application", "VM start failed"),
    ("missing_class com/kestrel/runtime/WinLauncher", "application", "No main class"),
    ("missing_class com/kestrel/runtime/WinLauncher$ApplicationFailed", "application", "No main class"),
    ("missing_method main", "application", "No main method"),
    ("missing_class com/tanager/runtime/FirstRun", "installer", "Internal 14"),
    ("missing_method firstRun", "installer", "Internal 15"),
])
def test_failures_of_the_vm_start_end_with_their_message(app_dir, control, flavour, message):
    double = Double(app_dir, [control])
    exe = launcher(app_dir, double, flavour=flavour, keys={"10003": "."})
    first_run_marker(app_dir)
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout, run.stderr) == (1, "", error_line(message))
    assert "main" not in double.call_names()
    assert "DestroyJavaVM" not in double.call_names()


def test_an_exception_that_stopped_the_java_side_is_described_and_reported(app_dir):
    double = Double(app_dir, ["main_throws"])
    run = run_launcher(launcher(app_dir, double), "-q")
    assert run.returncode == 1
    assert run.stderr == ("Exception in thread \"main\" java.lang.IllegalStateException: thrown by main\r\n"
                          + error_line("Application not started"))
    assert double.call_names()[-2:] == ["main", "ExceptionDescribe"]


def test_the_applications_own_exception_ends_after_its_threads_with_its_message(app_dir):
    """The Java side has printed the exception as java.exe would; the
    launcher clears it, waits for the VM like java.exe and ends with 1."""
    double = Double(app_dir, ["main_application_fails"])
    run = run_launcher(launcher(app_dir, double), "-q")
    assert run.returncode == 1
    assert run.stderr == ("Exception in thread \"main\" java.lang.IllegalStateException: thrown by the application\r\n"
                          + error_line("Application failed"))
    assert double.call_names()[-3:] == ["main", "ExceptionClear", "DestroyJavaVM"]


@pytest.mark.parametrize("control", ["array_fails", "string_fails"])
def test_out_of_memory_for_the_arguments_is_an_orderly_start_failure(app_dir, control):
    double = Double(app_dir, [control])
    run = run_launcher(launcher(app_dir, double), "-q", "word")
    assert run.returncode == 1
    assert run.stderr.endswith(error_line("Application not started")), run
    assert "OutOfMemoryError" in run.stderr
    assert "main" not in double.call_names()


def test_the_application_ending_the_process_sets_the_exit_code(app_dir):
    double = Double(app_dir, ["main_exits 7"])
    run = run_launcher(launcher(app_dir, double), "-q")
    assert (run.returncode, run.stderr) == (7, "")
    assert "DestroyJavaVM" not in double.call_names()


@pytest.mark.parametrize("key, created", [("124", True), ("123", False)])
def test_unterminated_quotes_in_configured_texts_end_with_the_wrong_parameter_message(app_dir, key, created):
    """The packer refuses such a setting by name; a raw key shows what the
    launcher does with one it finds all the same."""
    double = Double(app_dir)
    run = run_launcher(launcher(app_dir, double, keys={key: "-Da '-Dx=unclosed"}), "-q")
    assert (run.returncode, run.stderr) == (1, error_line("Bad quotes")), run
    assert ("JNI_CreateJavaVM" in double.call_names()) == created
    assert "main" not in double.call_names()


def test_quotes_on_the_command_line_follow_the_windows_rules(app_dir):
    double = Double(app_dir)
    run = run_launcher(launcher(app_dir, double), "-q", "'unclosed", '"', "a\\b")
    assert (run.returncode, run.stderr) == (0, ""), run
    assert double.main_arguments()[5:] == ["'unclosed", '"', "a\\b"]


def test_a_quote_inside_a_word_keeps_the_word_whole(app_dir):
    double = Double(app_dir)
    exe = launcher(app_dir, double, '[java]\nvm_options = "-Dx=\\"a b\\" -Dy=\\"open"\n')
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stderr) == (0, ""), run
    assert double.options()[-2:] == ['-Dx="a b"', '-Dy="open']


def test_the_double_keeps_a_window_open_while_main_runs(app_dir):
    double = Double(app_dir, ["main_window 3"])
    process = start_launcher(launcher(app_dir, double), "-q")
    window = probe(window_class="KestrelJniDoubleWindow")
    assert window.caption == "JNI double application"
    assert finish(process).returncode == 0
    assert double.call_names()[-1] == "DestroyJavaVM"


def test_progress_dialog_hides_once_the_application_shows_a_window(app_dir):
    double = Double(app_dir, ["main_window 3"])
    reg_delete(REGISTRY_KEY)
    process = start_launcher(launcher(app_dir, double))
    probe(window_class="KestrelJniDoubleWindow")
    # The watch looks every 100 ms; give it a few passes.
    time.sleep(0.5)
    hidden = run_wine([PROBE, "--class", "MyDlgClass", "--timeout", "0.5"])
    assert hidden.stdout.decode().strip() == "no window"
    assert finish(process).returncode == 0  # the application ended: so does the launcher
    assert double.call_names()[-1] == "DestroyJavaVM"


def test_mandatory_class_path_entries(app_dir, monkeypatch):
    double = Double(app_dir)
    monkeypatch.delenv("KESTREL_UNSET_CP", raising=False)
    monkeypatch.setenv("KESTREL_EMPTY_DIR", "empty")
    monkeypatch.setenv("KESTREL_EMPTY_CP", "")
    (app_dir / "empty").mkdir()
    cases = [
        ('[{ directory = "missing\\\\classes", mandatory = true }]', error_line("Missing missing\\classes")),
        ('[{ archive = "${KESTREL_EMPTY_DIR}\\\\none.jar", mandatory = true }]', error_line("Missing empty\\none.jar")),
        ('[{ env = "KESTREL_UNSET_CP", mandatory = true }]', error_line("Define KESTREL_UNSET_CP")),
        # Defined but empty: not found, like a missing file.
        ('[{ env = "KESTREL_EMPTY_CP", mandatory = true }]', error_line("Missing KESTREL_EMPTY_CP")),
    ]
    for class_path, message in cases:
        run = run_launcher(launcher(app_dir, double, f"[java]\nclass_path = {class_path}\n"), "-q")
        assert (run.returncode, run.stderr) == (1, message), class_path
    assert double.calls() == []

    # Optional entries: a missing directory is added anyway, an undefined
    # variable adds nothing; a mandatory scan of an empty directory is found.
    exe = launcher(app_dir, double, """
[java]
class_path = [{ directory = "missing" }, { env = "KESTREL_UNSET_CP" }, { scan = "empty", mandatory = true }]
""")
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    assert double.options()[-1] == f'-Djava.class.path=";{short_dir(app_dir)}missing;"'
