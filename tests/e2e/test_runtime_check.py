"""Judging and loading a runtime in a quiet start: the version cache (a
warm start probes nothing, a changed executable is probed again, failed
probes cache nothing), the windowed executable, and the VM library: variant
order, the preferred variant, the embedded-runtime fallback, and a library
without the VM creation entry."""
import os
import shutil

import pytest

from conftest import NO_JRE_FOUND, REGISTRY_KEY, pack, reg_query, run_launcher, windows_path
from runtime_doubles import DOUBLES, loaded_libraries, make_runtime, probes


def launcher(tmp_path, homes=("rt",), launcher_type="console", keys=None):
    """A launcher whose search sequence names the homes below tmp_path by
    their absolute paths, so that the cache keys hold their long names."""
    sequence = ";".join("A" + windows_path(tmp_path / home) for home in homes)
    text = f'[launcher]\ntype = "{launcher_type}"\n[keys]\n"128" = \'{sequence}\'\n'
    text += "".join(f"\"{key}\" = '{value}'\n" for key, value in (keys or {}).items())
    return pack(tmp_path, text)


def cache_key(java):
    return REGISTRY_KEY + r"\jvms" + "\\" + windows_path(java).lower().replace("\\", "/")


def run_quiet(exe):
    run = run_launcher(exe, "-q")
    assert run.stderr == "", run
    return run.returncode


def test_warm_start_answers_from_the_cache(tmp_path):
    exe = launcher(tmp_path, ("old", "rt"), keys={"126": "1.6"})
    make_runtime(tmp_path / "old", "1.5.0_22")
    make_runtime(tmp_path / "rt", "1.6.0_45")
    assert run_quiet(exe) == 0
    assert run_quiet(exe) == 0
    assert (probes(tmp_path / "old"), probes(tmp_path / "rt")) == (1, 1)
    assert reg_query(cache_key(tmp_path / "rt/bin/java.exe"), "Version") == "1.6.0_45"
    assert reg_query(cache_key(tmp_path / "old/bin/java.exe"), "Version") == "1.5.0_22"  # rejected, yet cached
    time = reg_query(cache_key(tmp_path / "rt/bin/java.exe"), "LastWriteTime")
    assert len(bytes.fromhex(time)) == 8


def test_changed_executable_is_probed_again(tmp_path):
    exe = launcher(tmp_path)
    make_runtime(tmp_path / "rt", "1.6.0_45")
    assert run_quiet(exe) == 0
    java = tmp_path / "rt/bin/java.exe"
    os.utime(java, (1_300_000_000, 1_300_000_000))
    (tmp_path / "rt/bin/java.cfg").write_text('stderr openjdk version "17.0.9" 2023-10-17\n')
    assert run_quiet(exe) == 0
    assert probes(tmp_path / "rt") == 2
    assert reg_query(cache_key(java), "Version") == "17.0.9"


@pytest.mark.parametrize("line, exit_code", [
    ('java version "1.6.0_45"', 1),
    ("Error: could not open the runtime", 0),
    ("", 0),
])
def test_failed_probe_rejects_and_caches_nothing(tmp_path, line, exit_code):
    exe = launcher(tmp_path)
    make_runtime(tmp_path / "rt", line=line, exit_code=exit_code)
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND)
    assert reg_query(cache_key(tmp_path / "rt/bin/java.exe"), "Version") is None
    assert loaded_libraries(tmp_path) == []


def test_modern_version_lines_are_understood(tmp_path):
    exe = launcher(tmp_path, ("openjdk", "oracle"), keys={"126": "17", "127": "21"})
    make_runtime(tmp_path / "openjdk", line='openjdk version "17.0.9" 2023-10-17')
    make_runtime(tmp_path / "oracle", line='java version "21.0.1" 2023-10-17 LTS')
    assert run_quiet(exe) == 0
    assert loaded_libraries(tmp_path) == ["openjdk/bin/client"]
    assert reg_query(cache_key(tmp_path / "openjdk/bin/java.exe"), "Version") == "17.0.9"


@pytest.mark.parametrize("javaw", [True, False])
def test_windowed_application_needs_the_windowed_executable(tmp_path, javaw):
    exe = launcher(tmp_path, launcher_type="windowed")
    make_runtime(tmp_path / "rt", javaw=javaw)
    assert run_quiet(exe) == (0 if javaw else 83)
    assert loaded_libraries(tmp_path) == (["rt/bin/client"] if javaw else [])
    # The version is cached under the console executable either way.
    assert reg_query(cache_key(tmp_path / "rt/bin/java.exe"), "Version") == "1.6.0_45"
    assert reg_query(cache_key(tmp_path / "rt/bin/javaw.exe"), "Version") is None


@pytest.mark.parametrize("vms, preferred, library", [
    (("client", "server"), "", "client"),
    (("client", "server"), "server", "server"),
    (("client", "server", "hotspot"), "", "hotspot"),
    (("server", "classic"), "", "server"),
    (("classic",), "", "classic"),
    (("client", "server"), "nosuchvm", "client"),
])
def test_vm_variant_order(tmp_path, vms, preferred, library):
    exe = launcher(tmp_path, keys={"152": preferred} if preferred else None)
    make_runtime(tmp_path / "rt", vms=vms)
    assert run_quiet(exe) == 0
    assert loaded_libraries(tmp_path) == [f"rt/bin/{library}"]


def test_development_kit_library_falls_back_to_its_embedded_runtime(tmp_path):
    exe = launcher(tmp_path, launcher_type="windowed", keys={"152": "server"})
    make_runtime(tmp_path / "rt", vms=(), javaw=True)
    for vm in ("client", "server"):
        (tmp_path / "rt/jre/bin" / vm).mkdir(parents=True)
        shutil.copy(DOUBLES / "jvm.dll", tmp_path / "rt/jre/bin" / vm / "jvm.dll")
    assert run_quiet(exe) == 0
    assert loaded_libraries(tmp_path) == ["rt/jre/bin/server"]


def test_library_without_the_entry_fails_though_another_variant_has_one(tmp_path):
    exe = launcher(tmp_path)
    make_runtime(tmp_path / "rt", vms=("client",), library="jvm-without-entry.dll")
    make_runtime(tmp_path / "rt", vms=("server",))
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout, run.stderr) == (83, NO_JRE_FOUND, "")
    assert loaded_libraries(tmp_path) == ["rt/bin/client"]
