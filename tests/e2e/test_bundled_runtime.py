"""A runtime image bundled by the packer (runtime.bundle): it travels as the
payload's jre.tar.gz, written by the packer itself, and the launcher unpacks
it into "jre" and starts from it with no Java installed and no search. The
image is a runtime home of doubles (java.exe, the JNI double as jvm.dll)."""
from conftest import REGISTRY_KEY, pack, reg_query, windows_path
from payload_support import launch, the_payload_directory
from test_runtime_archive import MESSAGES, Runtime, files_below


def bundled_launcher(tmp_path, runtime, extra=""):
    project = (f'[launcher]\ntype = "console"\n[runtime]\nbundle = "{runtime.home.as_posix()}"\n'
               f"[payload]\nruntime_jar = false\n{extra}\n{MESSAGES}")
    return pack(tmp_path, project, name="app.exe")


def test_the_bundled_runtime_is_unpacked_and_started_without_a_search(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    (runtime.home / "lib").mkdir()
    (runtime.home / "lib" / "blocks.bin").write_bytes(bytes(range(256)) * 4)
    (runtime.home / "lib" / "empty.txt").write_bytes(b"")
    (runtime.home / "legal" / "java.base").mkdir(parents=True)
    (runtime.home / "legal" / "java.base" / "LICENSE").symlink_to("../../lib/blocks.bin")
    exe = bundled_launcher(tmp_path, runtime)
    temp = tmp_path / "temp"
    temp.mkdir()
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert (run.returncode, run.stdout, run.stderr) == (0, "", "")
    jre = the_payload_directory(temp) / "jre"
    expected = files_below(runtime.home)
    expected["legal/java.base/LICENSE"] = expected["lib/blocks.bin"]  # the link came as a copy
    assert files_below(jre) == expected
    assert [p.name for p in jre.parent.iterdir()] == ["jre"]  # the archive is gone
    assert runtime.started()
    assert reg_query(REGISTRY_KEY, "InstallStarted") is None


def test_a_library_the_packer_leaves_to_the_loader_fails_as_the_launcher_says(tmp_path):
    runtime = Runtime(tmp_path / "staging")
    (runtime.home / "bin" / "client" / "jvm.dll").write_bytes(b"not a Windows library")
    exe = bundled_launcher(tmp_path, runtime)
    temp = tmp_path / "temp"
    temp.mkdir()
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    jre = the_payload_directory(temp) / "jre"
    assert (run.returncode, run.stdout) == (83, "")
    assert run.stderr.lower() == f"Damaged runtime in {windows_path(jre)}\r\nVM start failed\r\n".lower()
    assert not runtime.started()
