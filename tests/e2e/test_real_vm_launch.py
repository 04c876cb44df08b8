"""A packed launcher on Debian's real 32-bit VM (the runtime bridge of
tools/realjvm): the VM start hands the Java side (build/java's
kestrel-runtime.jar) its arguments, the Java side starts the application's
main class, redirects its error output, and reports a missing main class;
the application's own exit status ends the process."""
import subprocess
from pathlib import Path

import pytest

from conftest import REAL_HOME, BUILD, pack, run_launcher, windows_path

RUNTIME_JAR = BUILD / "java" / "kestrel-runtime.jar"
APP_SOURCE = Path(__file__).parent / "realvm" / "LaunchedApp.java"


@pytest.fixture(scope="module")
def app_jar(tmp_path_factory):
    for built in (REAL_HOME / "bin" / "server" / "jvm.dll", RUNTIME_JAR):
        assert built.exists(), f"{built} is missing (make realjvm java)"
    directory = tmp_path_factory.mktemp("launched-app")
    subprocess.run(["javac", "--release", "8", "-d", directory / "classes", APP_SOURCE], check=True,
                   capture_output=True)
    jar = directory / "app.jar"
    subprocess.run(["jar", "--create", "--file", jar, "-C", directory / "classes", "."], check=True)
    return jar


def real_launcher(tmp_path, app_jar, main_class="LaunchedApp", arguments="configured", extra=""):
    """A console launcher whose class path names the runtime jar and the
    application by absolute path."""
    project = f"""
[launcher]
type = "console"
flavour = "installer"
[java]
main_class = "{main_class}"
class_path = [{{ archive = '{windows_path(RUNTIME_JAR)}' }}, {{ archive = '{windows_path(app_jar)}' }}]
search_sequence = [{{ directory = '{windows_path(REAL_HOME)}' }}]
arguments = "{arguments}"
{extra}
[messages]
vm_start_failed = "VM start failed"
application_not_started = "Application not started"
[payload]
runtime_jar = false
"""
    return pack(tmp_path, project)


def test_the_application_runs_with_its_arguments_and_logs(tmp_path, app_jar):
    exe = real_launcher(tmp_path, app_jar, extra='[logs]\nerror_log = "logs.txt"\n')
    run = run_launcher(exe, "-q", "two words", "caf\u00e9", timeout=60)
    assert (run.returncode, run.stderr) == (0, ""), run
    # The quiet switch is the launcher's own: main never sees it.
    assert run.stdout == "arguments: configured|two words|caf\u00e9\nisTanager: true\n".encode().decode("latin-1")
    assert (tmp_path / "logs.txt").read_text() == "error output\n"


def test_the_applications_exit_status_ends_the_process(tmp_path, app_jar):
    exe = real_launcher(tmp_path, app_jar, arguments="exit 5")
    run = run_launcher(exe, "-q", timeout=60)
    assert (run.returncode, run.stdout) == (5, ""), run


def test_a_missing_main_class_is_named_and_the_start_fails(tmp_path, app_jar):
    exe = real_launcher(tmp_path, app_jar, main_class="com.example.Missing")
    run = run_launcher(exe, "-q", timeout=60)
    assert run.returncode == 1
    assert "main class com.example.Missing could not be loaded from the class path" in run.stderr
    assert run.stderr.endswith("Application not started\r\n"), run
