"""The decision trace: switched on by KESTREL_LAUNCHER_DEBUG (1: standard
error, anything else: a file appended to) or by the project's trace setting,
one timestamped line per decision, absent when off. The tests check which
decisions appear and in what order, not the wording of every line."""
import re

import pytest

from conftest import ARCH, pack, run_launcher, windows_path
from runtime_doubles import FOREIGN_MACHINE, loaded_libraries, make_runtime, probes, set_machine

LINE = re.compile(r"\[kestrel +(\d+) ms\] (\w+): (.*)")
PROJECT = '[launcher]\ntype = "console"\n{launcher}[java]\n{java}[payload]\nfiles = {payload}\n[keys]\n"128" = "{sequence}"\n'


def trace_lines(text):
    """(milliseconds, topic, text) of every trace line in `text`; any other
    line (the launcher's own output) is left out."""
    return [(int(match[1]), match[2], match[3]) for match in map(LINE.fullmatch, text.splitlines()) if match]


def topics(lines):
    """The topics in order, each run of one topic counted once."""
    result = []
    for _, topic, _ in lines:
        if not result or result[-1] != topic:
            result.append(topic)
    return result


def runtime_launcher(tmp_path, sequence="Ajre", launcher="", java="", files=None):
    """A console launcher whose search sequence is `sequence`, carrying `files`;
    `launcher` and `java` are lines of those tables."""
    payload = "[" + ", ".join(f'"{name}"' for name in files or {}) + "]"
    project = PROJECT.format(launcher=launcher, java=java, payload=payload, sequence=sequence)
    return pack(tmp_path, project, files=files)


def texts(lines, topic, prefix=""):
    """The texts of the lines of `topic` that begin with `prefix`, the prefix
    taken off."""
    return [text[len(prefix):] for _, line_topic, text in lines if line_topic == topic and text.startswith(prefix)]


def test_standard_error_trace_follows_the_start_in_order(tmp_path, monkeypatch):
    java = 'vm_options = "-Dx=1 -Xss1m"\narguments = "--mode fast"\n'
    exe = runtime_launcher(tmp_path, java=java, files={"app.jar": b"jar bytes"})
    make_runtime(tmp_path / "jre")
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", "1")
    run = run_launcher(exe, "-q", "one")
    assert run.returncode == 0, run
    lines = trace_lines(run.stderr)
    assert topics(lines)[:7] == ["start", "trace", "block", "switches", "instance", "switches", "payload"], lines
    assert [ms for ms, _, _ in lines] == sorted(ms for ms, _, _ in lines)
    text = run.stderr
    assert lines[0][2].startswith(f"kestrel launcher {ARCH} ") and "trace: to standard error (KESTREL_LAUNCHER_DEBUG)" in text
    assert ("switches: 1 launcher word(s), 0 VM option(s), 1 argument(s) for the application: quiet on" in text
            and "switches: manual off" in text)
    assert "instance: the first one" in text
    assert re.search(r"payload: wrote .*\\app\.jar, 9 bytes in \d+ ms", text), text
    assert re.search(r"library: loaded .*\\jre\\bin\\client\\jvm\.dll", text), text
    # The VM's options and main's arguments, one line each, as the VM gets them.
    options = texts(lines, "vm", "option ")
    assert [option.split(": ", 1)[0] for option in options] == [str(n) for n in range(1, len(options) + 1)]
    assert options[-3].startswith(f"{len(options) - 2}: -Djava.class.path=") and "app.jar;" in options[-3]
    assert options[-2:] == [f"{len(options) - 1}: -Dx=1", f"{len(options)}: -Xss1m"]
    assert texts(lines, "vm", "argument ")[-3:] == ['6: "--mode"', '7: "fast"', '8: "one"']
    assert "vm: JNI_CreateJavaVM returned 0: the VM is created" in text
    assert texts(lines, "entry") == ["class com/kestrel/runtime/WinLauncher found",
                                     "class com/kestrel/runtime/WinLauncher$ApplicationFailed found",
                                     "method main([Ljava/lang/String;)V found",
                                     "calling main; the process ends with the application's own status if it "
                                     "calls System.exit", "main returned"]
    assert lines[-1][1:] == ("exit", "code 0, the launch sequence has ended")
    assert loaded_libraries(tmp_path) == ["jre/bin/client"]


@pytest.mark.parametrize("control, step, message", [
    ("create_fails -4", "vm: JNI_CreateJavaVM returned -4: not enough memory", 1005),
    ("missing_class com/kestrel/runtime/WinLauncher", "entry: class com/kestrel/runtime/WinLauncher not found", 1010),
    ("missing_method main", "entry: method main([Ljava/lang/String;)V not found", 1011),
    ("main_application_fails", "entry: main ended with ApplicationFailed", 1013),
])
def test_a_vm_start_that_fails_names_its_step_and_message(tmp_path, monkeypatch, control, step, message):
    exe = runtime_launcher(tmp_path)
    make_runtime(tmp_path / "jre")
    (tmp_path / "jre/bin/client/jni.cfg").write_text(control + "\n")
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", "1")
    run = run_launcher(exe, "-q")
    assert run.returncode == 1, run
    lines = [f"{topic}: {text}" for _, topic, text in trace_lines(run.stderr)]
    failed = next(index for index, line in enumerate(lines) if line.startswith(step))
    assert lines[failed + 1:failed + 2] == [f"error: message {message}"], lines
    assert lines[-1] == f"exit: code 1 after message {message}"


def search_lines(text):
    """The search's token lines and the candidates' verdict lines, in order."""
    return [f"{topic}: {line}" for _, topic, line in trace_lines(text) if topic in ("search", "candidate")]


def expect_lines(lines, patterns):
    """`lines` match `patterns` one by one, in order and all of them."""
    assert len(lines) == len(patterns), "\n".join(lines)
    for line, pattern in zip(lines, patterns):
        assert re.fullmatch(pattern, line), f"{line!r} does not match {pattern!r}"


def test_each_candidate_of_a_search_is_traced_with_its_version_and_reason(tmp_path, monkeypatch):
    sequence = "EBETA_HOME;Aold;Amissing;Aforeign;Xunknown;Agood"
    project = f'[launcher]\ntype = "console"\n[java]\nmin_version = "1.8"\n[keys]\n"128" = "{sequence}"\n'
    exe = pack(tmp_path, project)
    # Only explicitly named runtimes may be beta versions: not one in a variable.
    make_runtime(tmp_path / "beta", "1.8.0_392", release='JAVA_VERSION="9-beta"\n')
    monkeypatch.setenv("BETA_HOME", windows_path(tmp_path / "beta"))
    make_runtime(tmp_path / "old", "1.6.0_45")
    make_runtime(tmp_path / "foreign", "17.0.9")
    set_machine(tmp_path / "foreign/bin/java.exe", FOREIGN_MACHINE)
    make_runtime(tmp_path / "good", "17.0.9")
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", "1")
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    assert loaded_libraries(tmp_path) == ["good/bin/client"]
    # The paths as the launcher has them: in normal form, possibly with short names.
    home = r".*\\"
    expected = [
        r'search: versions from "1\.8" to "", .*',
        r"candidate: - \(the runtime file .*pref_jre\.cfg\): rejected: nothing named there",
        r"search: token EBETA_HOME",
        rf"candidate: {home}beta\\bin\\java\.exe \(the variable BETA_HOME\), version 9-beta from the release file: "
        r"rejected: beta.*",
        r"search: token Aold",
        rf"candidate: {home}old\\bin\\java\.exe \(a runtime directory old\), version 1\.6\.0_45 from {{origin}}: "
        r"rejected: below the minimum 1\.8",
        r"search: token Amissing",
        rf"candidate: {home}missing\\bin\\java\.exe \(a runtime directory missing\): rejected: file missing",
        r"search: token Aforeign",
        rf"candidate: {home}foreign\\bin\\java\.exe \(a runtime directory foreign\): rejected: other architecture: .*",
        r"search: token Xunknown",
        r"search: token Xunknown passed over: .*",
        r"search: token Agood",
        rf"candidate: {home}good\\bin\\java\.exe \(a runtime directory good\), version 17\.0\.9 from {{origin}}: "
        r"accepted",
        rf"candidate: {home}good\\bin\\java\.exe .*: loaded",
    ]
    expect_lines(search_lines(run.stderr), [line.replace("{origin}", "a probe") for line in expected])
    # Probed versions are cached: the next search reads them from there.
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    expect_lines(search_lines(run.stderr), [line.replace("{origin}", "the cache") for line in expected])
    assert (probes(tmp_path / "old"), probes(tmp_path / "good"), probes(tmp_path / "beta")) == (1, 1, 0)


def test_a_probe_that_fails_is_named_as_the_reason(tmp_path, monkeypatch):
    exe = runtime_launcher(tmp_path, sequence="Abroken")
    make_runtime(tmp_path / "broken", "17.0.9", exit_code=1)
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", "1")
    run = run_launcher(exe, "-q")
    assert run.returncode == 83, run
    verdicts = [line for line in search_lines(run.stderr) if line.startswith("candidate:") and "broken" in line]
    assert len(verdicts) == 1 and verdicts[0].endswith("rejected: version unknown: the probe failed (exit code not 0)")


def test_a_library_that_fails_to_load_shows_the_systems_reason(tmp_path, monkeypatch):
    exe = runtime_launcher(tmp_path)
    make_runtime(tmp_path / "jre", vms=("client",))
    (tmp_path / "jre/bin/client/jvm.dll").write_bytes(b"not a library")
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", "1")
    run = run_launcher(exe, "-q")
    assert run.returncode == 83, run
    failures = [text for _, topic, text in trace_lines(run.stderr) if topic == "library"]
    # Every variant is tried, here and in the embedded runtime's place; the
    # damaged one has the system's text for its error, the missing ones theirs.
    assert len(failures) == 8, failures
    assert re.search(r"\\jre\\bin\\client\\jvm\.dll not loaded: error 193: \S", failures[1]), failures
    assert all(re.search(r" not loaded: error \d+: \S", text) for text in failures), failures
    assert "exit: code 83, no runtime found in quiet mode" in run.stderr


def test_a_trace_file_is_appended_to_across_runs(tmp_path, monkeypatch):
    exe = runtime_launcher(tmp_path)
    make_runtime(tmp_path / "jre")
    trace = tmp_path / "trace.log"
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", windows_path(trace))
    first, second = run_launcher(exe, "-q", "first"), run_launcher(exe, "-q", "second", "run")
    assert (first.returncode, first.stderr, second.returncode, second.stderr) == (0, "", 0, ""), (first, second)
    lines = trace_lines(trace.read_text(encoding="utf-8"))
    starts = [index for index, (_, topic, _) in enumerate(lines) if topic == "start"]
    assert len(starts) == 2, lines
    # The two runs, told apart by the number of the application's arguments.
    assert "1 argument(s) for the application" in lines[starts[0] + 3][2]
    assert "2 argument(s) for the application" in lines[starts[1] + 3][2]
    assert f"trace: appended to {windows_path(trace)} (KESTREL_LAUNCHER_DEBUG)" in trace.read_text()


def test_an_unopenable_trace_file_is_reported_once_and_the_launch_goes_on(tmp_path, monkeypatch):
    exe = runtime_launcher(tmp_path)
    make_runtime(tmp_path / "jre")
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", windows_path(tmp_path / "missing" / "trace.log"))
    run = run_launcher(exe, "-q")
    assert run.returncode == 0, run
    report, = run.stderr.splitlines()
    assert report.startswith("kestrel: the trace file ") and "cannot be opened (error 3: " in report
    assert trace_lines(run.stderr) == []
    assert loaded_libraries(tmp_path) == ["jre/bin/client"]


def test_no_trace_when_the_variable_is_unset_or_zero(tmp_path, monkeypatch):
    exe = runtime_launcher(tmp_path)
    make_runtime(tmp_path / "jre")
    monkeypatch.delenv("KESTREL_LAUNCHER_DEBUG", raising=False)
    assert run_launcher(exe, "-q").stderr == ""
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", "0")
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stderr) == (0, ""), run
    assert sorted(path.name for path in tmp_path.iterdir()) == ["jre", "launcher.exe", "project.toml"]


def test_the_project_setting_writes_the_lines_held_before_the_block(tmp_path, monkeypatch):
    exe = runtime_launcher(tmp_path, launcher='trace = "logs\\\\trace.log"\n')
    make_runtime(tmp_path / "jre")
    (tmp_path / "logs").mkdir()
    monkeypatch.delenv("KESTREL_LAUNCHER_DEBUG", raising=False)
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stderr) == (0, ""), run
    lines = trace_lines((tmp_path / "logs" / "trace.log").read_text(encoding="utf-8"))
    assert topics(lines)[:3] == ["start", "trace", "block"], lines
    assert lines[1][2].endswith("\\logs\\trace.log (the launcher's trace setting)"), lines[1]
    # The variable, when set, takes precedence over the project.
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", "1")
    run = run_launcher(exe, "-q")
    assert "trace: to standard error (KESTREL_LAUNCHER_DEBUG)" in run.stderr
    assert len([line for line in lines if line[1] == "start"]) == 1


def test_texts_of_the_ansi_code_page_are_written_as_utf8(tmp_path, monkeypatch):
    folder = tmp_path / "café"
    folder.mkdir()
    exe = runtime_launcher(folder)
    make_runtime(folder / "jre")
    trace = tmp_path / "trace.log"
    monkeypatch.setenv("KESTREL_LAUNCHER_DEBUG", windows_path(trace))
    assert run_launcher(exe, "-q").returncode == 0
    text = trace.read_bytes().decode("utf-8")
    assert "\\café\\launcher.exe" in trace_lines(text)[0][2], text
