"""Versions from a runtime home's release file (JAVA_VERSION="..."): no
probe is started and nothing is cached; the beta rule applies to them as to
probed versions; a release file that is not sound leaves the version to the
probe as before."""
import pytest

from conftest import pack, reg_query, run_launcher, windows_path
from runtime_doubles import loaded_libraries, make_runtime, probes

CACHE_KEY = r"HKCU\Software\larkspur\kestrel\jvms"


def launcher(tmp_path, sequence):
    project = f'[launcher]\ntype = "console"\n[java]\nmin_version = "1.8"\n[keys]\n"128" = \'{sequence}\'\n'
    return pack(tmp_path, project)


def designated(home):
    """The token of a runtime directory by its absolute path, so that its
    cache key holds the long names."""
    return "A" + windows_path(home)


def cached(java):
    return reg_query(CACHE_KEY + "\\" + windows_path(java).lower().replace("\\", "/"), "Version")


def test_the_release_file_gives_the_version_without_a_probe(tmp_path):
    # The probe would answer a version below the minimum.
    make_runtime(tmp_path / "jre", "1.6.0_45", release='IMPLEMENTOR="Kestrel"\nJAVA_VERSION="17.0.9"\n')
    # A development kit: its release file lies in the kit's home, its runtime below.
    make_runtime(tmp_path / "jdk", "1.6.0_45", bin_dir="jre/bin", release='JAVA_VERSION="1.8.0_392"\n')
    run = run_launcher(launcher(tmp_path, designated(tmp_path / "jre")), "-q")
    assert (run.returncode, run.stderr) == (0, ""), run
    assert loaded_libraries(tmp_path) == ["jre/bin/client"]
    assert probes(tmp_path / "jre") == 0
    assert cached(tmp_path / "jre" / "bin" / "java.exe") is None
    run = run_launcher(launcher(tmp_path, designated(tmp_path / "jdk")), "-q")
    assert run.returncode == 0, run
    assert probes(tmp_path / "jdk", "jre/bin") == 0


@pytest.mark.parametrize("sequence, found", [("EBETA_HOME", False), ("Abeta", True)])
def test_a_beta_version_read_there_follows_the_beta_rule(tmp_path, monkeypatch, sequence, found):
    make_runtime(tmp_path / "beta", "1.8.0_392", release='JAVA_VERSION="1.9.0-beta"\n')
    monkeypatch.setenv("BETA_HOME", windows_path(tmp_path / "beta"))
    run = run_launcher(launcher(tmp_path, sequence), "-q")
    assert run.returncode == (0 if found else 83), run
    assert probes(tmp_path / "beta") == 0


@pytest.mark.parametrize("release", [
    b'JAVA_VERSION="17.0.9"\n' + b"#" * (64 * 1024),  # longer than a release file may be
    b'JAVA_VERSION="17.0.9"\n\x00\x01\x02',              # binary
    b'JAVA_VERSION="17.0.9\n',                           # the quote is not closed
    b'JAVA_RUNTIME_VERSION="17.0.9+9"\n',                # no version line
    b'JAVA_VERSION=""\n',
], ids=["huge", "binary", "unterminated", "no-line", "empty"])
def test_an_unsound_release_file_leaves_the_version_to_the_probe(tmp_path, release):
    # The probe answers a version below the minimum: only a probe rejects it.
    make_runtime(tmp_path / "jre", "1.6.0_45", release=release)
    run = run_launcher(launcher(tmp_path, designated(tmp_path / "jre")), "-q")
    assert run.returncode == 83, run
    assert probes(tmp_path / "jre") == 1
    assert cached(tmp_path / "jre" / "bin" / "java.exe") == "1.6.0_45"


def test_a_release_directory_is_no_release_file(tmp_path):
    make_runtime(tmp_path / "jre", "1.8.0_392")
    (tmp_path / "jre" / "release").mkdir()
    run = run_launcher(launcher(tmp_path, "Ajre"), "-q")
    assert run.returncode == 0, run
    assert probes(tmp_path / "jre") == 1
