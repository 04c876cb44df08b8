"""The runtime bridges of tools/realjvm under Wine, on Debian's real Linux VMs:
the 32-bit bridge (i386 VM) and the 64-bit one (amd64 VM), each case run on
the bridge of the architecture under test (tools/test.sh runs the suite once
for each architecture the machine runs). Windows programs of the bridge's architecture load its jvm.dll by its
full path, create a VM and call into it (bare-launch, bridge-check with the
Java class realvm/BridgeProbe.java), and the runtime home's java.exe answers
"-version" as the real VM does. A runtime that was not built fails these
tests."""
import subprocess
from pathlib import Path
from typing import NamedTuple

import pytest

from conftest import ARCH, BUILD, PREFIX, run_wine, windows_path

REALJVM = BUILD / "realjvm"
PROBE_SOURCE = Path(__file__).parent / "realvm" / "BridgeProbe.java"
# The bridge's own exit code when it stops the process.
BRIDGE_FAILURE_EXIT = 70


class Bridge(NamedTuple):
    """A runtime home of tools/realjvm and the Windows programs of its architecture."""
    home: Path
    bare_launch: Path
    bridge_check: Path
    linux_java: Path  # the Linux runtime behind it

    @property
    def jvm_dll(self):
        return self.home / "bin" / "server" / "jvm.dll"


BRIDGES = {
    "x86": Bridge(REALJVM / "home", REALJVM / "bare-launch.exe", REALJVM / "bridge-check.exe",
                  Path("/usr/lib/jvm/java-17-openjdk-i386/bin/java")),
    "x64": Bridge(REALJVM / "home64", REALJVM / "bare-launch64.exe", REALJVM / "bridge-check64.exe",
                  Path("/usr/lib/jvm/java-17-openjdk-amd64/bin/java")),
}


@pytest.fixture(scope="module", params=[ARCH])
def bridge(request):
    built = BRIDGES[request.param]
    for artifact in (built.jvm_dll, built.home / "bin" / "java.exe", built.bare_launch, built.bridge_check):
        assert artifact.exists(), f"{artifact} is missing: the real runtime was not built (make realjvm)"
    return built


@pytest.fixture(scope="module")
def probe_classes(tmp_path_factory):
    classes = tmp_path_factory.mktemp("bridge-probe")
    subprocess.run(["javac", "--release", "8", "-d", classes, PROBE_SOURCE],
                   check=True, capture_output=True)
    return classes


def bare_launch(bridge, classes, *args):
    return run_wine([bridge.bare_launch, windows_path(bridge.jvm_dll), windows_path(classes), "BridgeProbe", *args])


def bridge_check(bridge, class_path, mode, *options):
    return run_wine([bridge.bridge_check, windows_path(bridge.jvm_dll), class_path, mode, *options])


def in_windows_shell(program, *args):
    """Runs `program` with `args` through cmd; returns its output and its
    exit code as cmd saw it."""
    line = " ".join([windows_path(program), *args, "& echo %ERRORLEVEL%"])
    result = run_wine(["cmd", "/c", line])
    output, _, code = result.stdout.decode("utf-8").replace("\r\n", "\n").rstrip("\n").rpartition("\n")
    return output, int(code)


def report_lines(output):
    """{check or property: value} of bridge-check's and BridgeProbe's lines."""
    lines = output.replace("\r\n", "\n").splitlines()
    return dict(line.split(": ", 1) if ": " in line else line.split("=", 1) for line in lines)


def test_bare_launch_runs_main_and_ends_with_the_applications_status(bridge, probe_classes):
    plain = bare_launch(bridge, probe_classes, "one", "two words")
    assert (plain.returncode, plain.stdout) == (0, b"arguments: one two words\n"), plain.stderr

    exited = bare_launch(bridge, probe_classes, "exit", "3")
    assert exited.returncode == 3

    thrown = bare_launch(bridge, probe_classes, "throw")
    assert thrown.returncode == 1
    assert b"java.lang.IllegalStateException: thrown for the bridge check" in thrown.stderr


def test_system_exit_code_reaches_a_windows_parent(bridge, probe_classes):
    # The Linux VM's own exit() would end the process behind Wine's back,
    # and cmd would see 0.
    output, code = in_windows_shell(bridge.bare_launch, windows_path(bridge.jvm_dll), windows_path(probe_classes),
                                    "BridgeProbe", "exit", "42")
    assert (output, code) == ("arguments: exit 42", 42)


@pytest.fixture(scope="module")
def checks(bridge, probe_classes):
    """One run of every check, with the class path in the launcher's form (a
    lone quote element at each end) and every translated path option."""
    class_path = f'";{windows_path(probe_classes)};C:\\no\\such\\dir;"'
    result = bridge_check(bridge, class_path, "checks",
                          f"-Djava.library.path={windows_path(probe_classes)};C:\\windows",
                          f"-Xbootclasspath/a:{windows_path(probe_classes)}",
                          "-Duser.dir=C:\\windows", "-Djava.io.tmpdir=C:\\users",
                          "-Dprobe.text=\u00e9", "-Dprobe.path=C:\\windows")
    assert result.returncode == 0, result.stderr
    return report_lines(result.stdout.decode("utf-8"))


def test_calls_cross_the_bridge_with_every_argument_type(checks):
    # An int, a long above 32 bits, a double, a boolean and a string, through
    # the variadic and the jvalue-array form, on the creating and an
    # attached thread.
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


def test_the_vm_starts_in_the_windows_working_directory(bridge, probe_classes, tmp_path):
    # The program moves to another Windows directory than the Unix one Wine
    # started it in, as a launcher does, then creates the VM.
    (tmp_path / "bridge-probe.txt").write_text("found in the working directory\n")
    result = run_wine([bridge.bridge_check, "--directory", windows_path(tmp_path), windows_path(bridge.jvm_dll),
                       windows_path(probe_classes), "checks"])
    assert result.returncode == 0, result.stderr
    checks = report_lines(result.stdout.decode("utf-8"))
    assert checks["user.dir"] == str(tmp_path.resolve())
    assert checks["relative file"] == "found in the working directory"


def test_an_unbridged_function_stops_the_process_with_its_name(bridge, probe_classes):
    result = bridge_check(bridge, windows_path(probe_classes), "unbridged")
    assert result.returncode == BRIDGE_FAILURE_EXIT
    assert b"the JNI function RegisterNatives is not bridged" in result.stderr
    assert b"unbridged: returned" not in result.stdout


def test_java_exe_answers_as_the_linux_runtime(bridge):
    for args in (["-version"], ["-no-such-option"]):
        linux = subprocess.run([bridge.linux_java, *args], capture_output=True)
        windows = run_wine([bridge.home / "bin" / "java.exe", *args])
        assert (windows.returncode, windows.stderr) == (linux.returncode, linux.stderr)
    assert linux.returncode != 0  # so a failing status was passed on too
