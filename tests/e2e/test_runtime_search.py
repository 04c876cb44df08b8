"""The automatic runtime search of a quiet start: the runtime files, the
tokens of the search sequence, the product variable, and what a found
runtime leads to (the launcher goes on; its jvm.dll is loaded)."""
import pytest

from conftest import NO_JRE_FOUND, pack, run_launcher, windows_path
from runtime_doubles import loaded_libraries, make_runtime, probes


def project(sequence=None, keys=None, flavour="application", launcher=""):
    """A console launcher (errors on standard error) with raw keys; the
    search sequence is key 128."""
    text = f'[launcher]\ntype = "console"\nflavour = "{flavour}"\n{launcher}'
    keys = dict(keys or {})
    if sequence is not None:
        keys["128"] = sequence
    if keys:
        text += "[keys]\n" + "".join(f"\"{key}\" = '{value}'\n" for key, value in keys.items())
    return text


def write_runtime_file(app_dir, name, line):
    folder = app_dir / ".tanager"
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(line.encode() + b"\r\n")


def expect_found(exe, root, library):
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout, run.stderr) == (0, "", ""), run
    assert loaded_libraries(root) == [library]


def expect_none(exe, root):
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND), run
    assert loaded_libraries(root) == []


def test_fixed_sources_in_order_without_a_sequence(tmp_path, monkeypatch):
    exe = pack(tmp_path, project())
    make_runtime(tmp_path / "pref")
    make_runtime(tmp_path / "var")
    make_runtime(tmp_path / "inst")
    write_runtime_file(tmp_path, "pref_jre.cfg", windows_path(tmp_path / "pref"))
    write_runtime_file(tmp_path, "inst_jre.cfg", "inst")  # relative to the launcher
    monkeypatch.setenv("KESTREL_JAVA_HOME", windows_path(tmp_path / "var"))
    expect_found(exe, tmp_path, "pref/bin/client")
    (tmp_path / ".tanager" / "pref_jre.cfg").unlink()
    (tmp_path / "pref/bin/client/jvm.log").unlink()
    expect_found(exe, tmp_path, "var/bin/client")
    monkeypatch.delenv("KESTREL_JAVA_HOME")
    (tmp_path / "var/bin/client/jvm.log").unlink()
    expect_found(exe, tmp_path, "inst/bin/client")
    (tmp_path / ".tanager" / "inst_jre.cfg").unlink()
    (tmp_path / "inst/bin/client/jvm.log").unlink()
    expect_none(exe, tmp_path)


def test_sequence_tokens_in_order_skipping_unknown_and_rejected_ones(tmp_path):
    exe = pack(tmp_path, project("alow;Qlow;;Rmissing;Aold;Anew", keys={"126": "1.4"}))
    for name, version in (("low", "1.6.0"), ("old", "1.3.1_20"), ("new", "1.4.2_03")):
        make_runtime(tmp_path / name, version)
    expect_found(exe, tmp_path, "new/bin/client")
    assert (probes(tmp_path / "low"), probes(tmp_path / "old"), probes(tmp_path / "new")) == (0, 1, 1)


@pytest.mark.parametrize("letter", ["A", "R"])
def test_designated_directory_is_relative_to_the_launcher(tmp_path, letter):
    exe = pack(tmp_path, project(f"{letter}runtimes\\one"))
    make_runtime(tmp_path / "runtimes" / "one")
    expect_found(exe, tmp_path, "runtimes/one/bin/client")


def test_development_kit_home_uses_its_embedded_runtime(tmp_path):
    exe = pack(tmp_path, project("Ajdk"))
    make_runtime(tmp_path / "jdk", vms=("client",))
    make_runtime(tmp_path / "jdk", bin_dir="jre/bin", vms=("server",))
    expect_found(exe, tmp_path, "jdk/jre/bin/server")
    assert (probes(tmp_path / "jdk"), probes(tmp_path / "jdk", "jre/bin")) == (0, 1)


def test_environment_tokens_skip_unset_variables(tmp_path, monkeypatch):
    exe = pack(tmp_path, project("EKT_UNSET;EKT_EMPTY;EKT_HOME"))
    make_runtime(tmp_path / "home")
    monkeypatch.delenv("KT_UNSET", raising=False)
    monkeypatch.setenv("KT_EMPTY", "")
    monkeypatch.setenv("KT_HOME", windows_path(tmp_path / "home"))
    expect_found(exe, tmp_path, "home/bin/client")


@pytest.mark.parametrize("sequence, accept_beta, found", [
    ("EKT_HOME", False, False),
    ("EKT_HOME", True, True),
    ("Abeta", False, True),
    ("S", False, False),
])
def test_beta_runtimes_only_when_named_or_accepted(tmp_path, monkeypatch, sequence, accept_beta, found):
    keys = {"130": "1"} if accept_beta else {}
    exe = pack(tmp_path, project(sequence, keys))
    make_runtime(tmp_path / "beta", "1.6.0-beta2")
    monkeypatch.setenv("KT_HOME", windows_path(tmp_path / "beta"))
    monkeypatch.setenv("WINEPATH", windows_path(tmp_path / "beta" / "bin"))
    if found:
        expect_found(exe, tmp_path, "beta/bin/client")
    else:
        expect_none(exe, tmp_path)
    assert probes(tmp_path / "beta") == 1


def test_search_path_token_finds_java_on_the_path(tmp_path, monkeypatch):
    exe = pack(tmp_path, project("Ebogus;S"))
    make_runtime(tmp_path / "onpath")
    monkeypatch.setenv("WINEPATH", windows_path(tmp_path / "onpath" / "bin"))
    expect_found(exe, tmp_path, "onpath/bin/client")


def test_empty_preferred_line_names_the_launcher_directory(tmp_path):
    exe = pack(tmp_path, project())
    make_runtime(tmp_path)
    write_runtime_file(tmp_path, "pref_jre.cfg", "")
    expect_found(exe, tmp_path, "bin/client")


def test_runtime_files_live_in_the_application_directory(tmp_path):
    exe = pack(tmp_path, project(launcher='application_directory = "app"\n'))
    make_runtime(tmp_path / "rt")
    write_runtime_file(tmp_path, "pref_jre.cfg", "rt")
    expect_none(exe, tmp_path)
    write_runtime_file(tmp_path / "app", "inst_jre.cfg", "rt")
    expect_found(exe, tmp_path, "rt/bin/client")


@pytest.mark.parametrize("flavour, variable, found", [
    ("application", "KESTREL_JAVA_HOME", True),
    ("installer", "TANAGER_JAVA_HOME", True),
    ("installer", "KESTREL_JAVA_HOME", False),
    ("application", "TANAGER_JAVA_HOME", False),
])
def test_product_variable_follows_the_flavour(tmp_path, monkeypatch, flavour, variable, found):
    exe = pack(tmp_path, project(flavour=flavour))
    make_runtime(tmp_path / "rt")
    monkeypatch.delenv("KESTREL_JAVA_HOME", raising=False)
    monkeypatch.delenv("TANAGER_JAVA_HOME", raising=False)
    monkeypatch.setenv(variable, windows_path(tmp_path / "rt"))
    if found:
        expect_found(exe, tmp_path, "rt/bin/client")
    else:
        expect_none(exe, tmp_path)
