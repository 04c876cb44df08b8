"""Launchers on the real VM: launchers of the sample application
(samples/hello) that find the runtime home of tools/realjvm, probe its
java.exe, load its jvm.dll and start Debian's 32-bit Linux VM in their own
process under Wine. The application prints what it received: arguments,
launcher properties (with Windows paths mapped to Linux ones by the bridge)
and its class path. A runtime or sample that was not built fails here."""
import getpass
from pathlib import Path

import pytest

from conftest import REAL_HOME, BUILD, PREFIX, pack, run_launcher, windows_path


RUNTIME_JAR = BUILD.resolve() / "java" / "kestrel-runtime.jar"
SAMPLE_JAR = BUILD.resolve() / "samples" / "hello.jar"
FIRST_LINE = "hello from the sample application"
FIRST_RUN_LINE = "first run of the sample application\n"


@pytest.fixture(scope="module", autouse=True)
def built():
    for artifact in (REAL_HOME / "bin" / "server" / "jvm.dll", REAL_HOME / "bin" / "java.exe", RUNTIME_JAR, SAMPLE_JAR):
        assert artifact.exists(), f"{artifact} is missing (make realjvm java samples)"


def launcher(tmp_path, java="", extra="", main_class="com.example.hello.Hello"):
    """A console launcher of the sample application whose class path names
    the launcher's Java side and the sample's jar, with the real runtime
    home as its only runtime source."""
    project = f"""
[java]
main_class = "{main_class}"
class_path = [{{ archive = '{windows_path(RUNTIME_JAR)}' }}, {{ archive = '{windows_path(SAMPLE_JAR)}' }}]
search_sequence = [{{ directory = '{windows_path(REAL_HOME)}' }}]
{java}
[payload]
runtime_jar = false
[messages]
vm_start_failed = "VM start failed"
application_not_started = "Application not started"
application_failed = "Application failed"
{extra}"""
    return pack(tmp_path, project)


class Output:
    """The sample application's report: arguments in order, properties by name, class path."""

    def __init__(self, text):
        lines = text.replace("\r\n", "\n").splitlines()
        assert lines and lines[0] == FIRST_LINE, text
        self.arguments = [line.split("=", 1)[1] for line in lines if line.startswith("argument[")]
        self.properties = dict(line[len("property "):].split("=", 1)
                               for line in lines if line.startswith("property "))
        self.class_path = next(line.split("=", 1)[1] for line in lines if line.startswith("class path="))
        self.working_directory = next(line.split("=", 1)[1] for line in lines
                                      if line.startswith("working directory="))


def started(exe, *args):
    run = run_launcher(exe, *args)
    assert run.returncode == 0, run
    return Output(run.stdout)


def test_arguments_reach_main_after_the_configured_ones(tmp_path):
    exe = launcher(tmp_path, java="arguments = '\"configured \u20ac\" second'")
    output = started(exe, "-q", "quoted words", "\u00e9t\u00e9", "\u03a9", 'say "hi"', "-q")
    # The quiet switch is the launcher's; every character of the rest arrives.
    assert output.arguments == ["configured \\u20ac", "second", "quoted words", "\\u00e9t\\u00e9", "\\u03a9",
                                'say "hi"', "-q"]
    # An application runs where it was started.
    assert Path(output.working_directory) == Path.cwd()


def test_launcher_properties_and_class_path_as_the_java_side_sees_them(tmp_path):
    exe = launcher(tmp_path)
    output = started(exe, "-q")
    properties = output.properties
    comm_file = Path(properties.pop("kestrel.processCommFile"))
    assert properties.pop("kestrel.moduleName") == str(exe)
    assert properties.pop("kestrel.semaphoreName")
    properties.pop("kestrel.tempDir")  # the payload directory: its value is the payload tests' concern
    assert properties == {}  # an application: neither the installer nor the manual flag
    assert comm_file.parent == (PREFIX / "dosdevices" / "c:" / "users" / getpass.getuser() / "Temp").resolve()
    assert comm_file.name.startswith("ksl_p") and comm_file.suffix == ".tmp"
    # The launcher's lone quote elements bracket the configured archives.
    assert output.class_path == f'":{RUNTIME_JAR}:{SAMPLE_JAR}:"'


def test_vm_options_come_from_the_file_the_configuration_and_the_command_line(tmp_path):
    exe = launcher(tmp_path, java="""
vm_options = "-Dhello.configured=yes -Dhello.order=configured"
command_line_vm_options = true""")
    Path(f"{exe}.vmoptions").write_text("-Dhello.file=1\r\n-Dhello.order=file\r\n")
    # Not quiet: "-J" words must lead the command line. The VM then runs on
    # the launcher's worker thread, and the application ends the process.
    output = started(exe, "-J-Dhello.command=2", "-J-Dhello.order=command", "word", "-J-Dlate=3", "--exit", "0")
    assert output.properties == {**output.properties, "hello.file": "1", "hello.configured": "yes",
                                 "hello.command": "2", "hello.order": "command"}
    assert output.arguments == ["word", "-J-Dlate=3", "--exit", "0"]


def test_exit_code_of_the_application_ends_the_launcher(tmp_path):
    exe = launcher(tmp_path)
    run = run_launcher(exe, "-q", "--exit", "7")
    assert run.returncode == 7
    assert run.stdout.startswith(FIRST_LINE)


def test_exception_in_main_is_printed_as_java_prints_it_then_the_application_failed_message(tmp_path):
    exe = launcher(tmp_path)
    run = run_launcher(exe, "-q", "--throw")
    assert run.returncode == 1
    trace = "Exception in thread \"main\" java.lang.IllegalStateException: thrown by the sample application\n"
    assert run.stderr.startswith(trace + "\tat com.example.hello.Hello.follow(")
    assert run.stderr.endswith("\nApplication failed\r\n")


def test_missing_main_class_is_reported_by_the_java_side(tmp_path):
    exe = launcher(tmp_path, main_class="com.example.Missing")
    run = run_launcher(exe, "-q")
    assert run.returncode == 1
    assert "main class com.example.Missing could not be loaded from the class path" in run.stderr
    assert run.stderr.rstrip().endswith("Application not started")


@pytest.mark.parametrize("marker", [True, False])
def test_installer_runs_the_first_run_step_only_with_the_marker(tmp_path, marker):
    exe = launcher(tmp_path, java='vm_options = "-Dtanager.firstRunHook=com.example.hello.Hello"',
                   extra='[launcher]\nflavour = "installer"\ntype = "console"\n')
    marker_file = tmp_path / ".tanager" / "firstrun"
    if marker:
        marker_file.parent.mkdir()
        marker_file.touch()
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    assert run.stdout.startswith(FIRST_RUN_LINE) == marker
    output = Output(run.stdout.removeprefix(FIRST_RUN_LINE))
    assert output.properties["kestrel.isTanager"] == "true"
    # The Java side's step removes the marker once it lets the application start.
    assert not marker_file.exists()


def test_log_files_receive_the_applications_output(tmp_path):
    exe = launcher(tmp_path, extra='[logs]\nerror_log = "error.log"\noutput_log = "output.log"\n')
    (tmp_path / "output.log").write_text("earlier line\n")
    run = run_launcher(exe, "-q", "--stderr", "to the error log")
    assert (run.returncode, run.stdout, run.stderr) == (0, "", "")
    assert (tmp_path / "output.log").read_text().startswith(f"earlier line\n{FIRST_LINE}\n")
    assert (tmp_path / "error.log").read_text() == "to the error log\n"


def payload_launcher(tmp_path, flavour="application"):
    """A launcher with the sample's jar in its payload."""
    project = f"""
[launcher]
flavour = "{flavour}"
type = "console"
[java]
main_class = "com.example.hello.Hello"
search_sequence = [{{ directory = '{windows_path(REAL_HOME)}' }}]
[payload]
files = ['{SAMPLE_JAR}']
"""
    return pack(tmp_path, project)


def test_an_installer_runs_in_its_payload_folder(tmp_path):
    output = started(payload_launcher(tmp_path, flavour="installer"), "-q")
    assert output.working_directory == output.properties["kestrel.tempDir"]


def test_jars_of_the_payload_are_extracted_onto_the_class_path(tmp_path):
    output = started(payload_launcher(tmp_path), "-q")
    payload_dir = Path(output.properties["kestrel.tempDir"])
    # An application runs where it was started, not in its payload folder.
    assert Path(output.working_directory) == Path.cwd()
    assert payload_dir.name.startswith("ksl") and "_dir" in payload_dir.name
    # The option's own quote characters stand as path elements of their own.
    entries = [Path(entry) for entry in output.class_path.split(":") if entry not in ('"', "")]
    assert sorted(entry.name for entry in entries) == ["hello.jar", "kestrel-runtime.jar"]
    assert {entry.parent for entry in entries} == {payload_dir}


def test_a_bundled_runtime_image_starts_the_application_with_no_java_installed(tmp_path):
    """The runtime home travels inside the launcher (runtime.bundle): no
    search sequence names any runtime, so the start can only come from it."""
    project = f"""
[launcher]
type = "console"
[java]
main_class = "com.example.hello.Hello"
[runtime]
bundle = "{REAL_HOME.resolve().as_posix()}"
[payload]
files = ['{SAMPLE_JAR}']
"""
    exe = pack(tmp_path, project)
    for attempt in range(2):  # the first start and a later one behave alike
        run = run_launcher(exe, "-q", "bundled \u20ac", "--exit", "5")
        assert run.returncode == 5, run
        output = Output(run.stdout)
        assert output.arguments == ["bundled \\u20ac", "--exit", "5"]
        payload_dir = Path(output.properties["kestrel.tempDir"])
        assert (payload_dir / "jre" / "bin" / "server" / "jvm.dll").is_file()
