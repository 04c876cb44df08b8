"""The runtime bridge of tools/realjvm under Wine, on Debian's real 32-bit
Linux VM: Windows programs load the bridge's jvm.dll by its full path, create
a VM and call into it (bare-launch.exe, bridge-check.exe with the Java class
realvm/BridgeProbe.java), and the runtime home's java.exe answers "-version"
as the real VM does. A runtime that was not built fails these tests."""
import subprocess
from pathlib import Path

import pytest

from conftest import BUILD, PREFIX, run_wine, windows_path

REALJVM = BUILD / "realjvm"
JVM_DLL = REALJVM / "home" / "bin" / "server" / "jvm.dll"
JAVA_EXE = REALJVM / "home" / "bin" / "java.exe"
BARE_LAUNCH = REALJVM / "bare-launch.exe"
BRIDGE_CHECK = REALJVM / "bridge-check.exe"
# The Linux runtime tools/realjvm is built against.
LINUX_JAVA = Path("/usr/lib/jvm/java-17-openjdk-i386/bin/java")
PROBE_SOURCE = Path(__file__).parent / "realvm" / "BridgeProbe.java"
# The bridge's own exit code when it stops the process.
BRIDGE_FAILURE_EXIT = 70


@pytest.fixture(scope="module")
def probe_classes(tmp_path_factory):
    for built in (JVM_DLL, JAVA_EXE, BARE_LAUNCH, BRIDGE_CHECK):
        assert built.exists(), f"{built} is missing: the real runtime was not built (make realjvm)"
    classes = tmp_path_factory.mktemp("bridge-probe")
    subprocess.run(["javac", "--release", "8", "-d", classes, PROBE_SOURCE],
                   check=True, capture_output=True)
    return classes


def bare_launch(classes, *args):
    return run_wine([BARE_LAUNCH, windows_path(JVM_DLL), windows_path(classes), "BridgeProbe", *args])


def bridge_check(class_path, mode, *options):
    return run_wine([BRIDGE_CHECK, windows_path(JVM_DLL), class_path, mode, *options])


def report_lines(output):
    """{check or property: value} of bridge-check's and BridgeProbe's lines."""
    lines = output.decode("utf-8").splitlines()
    return dict(line.split(": ", 1) if ": " in line else line.split("=", 1) for line in lines)


def test_bare_launch_runs_main_and_ends_with_the_applications_status(probe_classes):
    plain = bare_launch(probe_classes, "one", "two words")
    assert (plain.returncode, plain.stdout) == (0, b"arguments: one two words\n"), plain.stderr

    exited = bare_launch(probe_classes, "exit", "3")
    assert exited.returncode == 3

    thrown = bare_launch(probe_classes, "throw")
    assert thrown.returncode == 1
    assert b"java.lang.IllegalStateException: thrown for the bridge check" in thrown.stderr


@pytest.fixture(scope="module")
def checks(probe_classes):
    """One run of every check, with the class path in the launcher's form (a
    lone quote element at each end) and every translated path option."""
    class_path = f'";{windows_path(probe_classes)};C:\\no\\such\\dir;"'
    result = bridge_check(class_path, "checks",
                          f"-Djava.library.path={windows_path(probe_classes)};C:\\windows",
                          f"-Xbootclasspath/a:{windows_path(probe_classes)}",
                          "-Duser.dir=C:\\windows", "-Djava.io.tmpdir=C:\\users",
                          "-Dprobe.text=\u00e9", "-Dprobe.path=C:\\windows")
    assert result.returncode == 0, result.stderr
    return report_lines(result.stdout)


def test_calls_cross_the_bridge_with_every_argument_type(checks):
    expected = "7|1099511627781|2.5|true|\u00e9"
    assert checks["variadic"] == expected
    assert checks["array"] == expected
    assert checks["thread"] == expected
    assert checks["exception"] == "seen and cleared"
    assert checks["vm"] == "same"


def test_wine_faults_and_java_stack_overflows_are_handled(checks):
    assert checks["fault"] == "handled"
    assert int(checks["depth"]) > 1000


def test_path_options_reach_the_vm_as_linux_paths(checks, probe_classes):
    drive_c = (PREFIX / "dosdevices" / "c:").resolve()
    # The quote elements and a path Wine cannot map stay as they were.
    assert checks["java.class.path"] == f'":{probe_classes}:C:\\no\\such\\dir:"'
    assert checks["java.library.path"] == f"{probe_classes}:{drive_c / 'windows'}"
    assert checks["boot loader finds BridgeProbe"] == "true"
    assert checks["user.dir"] == str(drive_c / "windows")
    assert checks["java.io.tmpdir"] == str(drive_c / "users")
    assert checks["probe.text"] == "\u00e9"
    assert checks["probe.path"] == str(drive_c / "windows")


def test_strings_that_are_windows_paths_arrive_as_linux_paths(checks):
    windows_directory = (PREFIX / "dosdevices" / "c:" / "windows").resolve()
    assert checks["path"] == f"7|1099511627781|2.5|true|{windows_directory}"


def test_an_unbridged_function_stops_the_process_with_its_name(probe_classes):
    result = bridge_check(windows_path(probe_classes), "unbridged")
    assert result.returncode == BRIDGE_FAILURE_EXIT
    assert b"the JNI function RegisterNatives is not bridged" in result.stderr
    assert b"unbridged: returned" not in result.stdout


def test_java_exe_answers_as_the_linux_runtime():
    for args in (["-version"], ["-no-such-option"]):
        linux = subprocess.run([LINUX_JAVA, *args], capture_output=True)
        windows = run_wine([JAVA_EXE, *args])
        assert (windows.returncode, windows.stderr) == (linux.returncode, linux.stderr)
    assert linux.returncode != 0  # so a failing status was passed on too
