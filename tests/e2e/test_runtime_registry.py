"""The registry source of the runtime search (token "Y"): installed
runtimes by current version or by their version keys, the runtimes a user
located by hand in both hives, and the choice between the two."""
import pytest

from conftest import NO_JRE_FOUND, pack, reg, run_launcher, windows_path
from runtime_doubles import (installed_runtime_key, loaded_libraries, located_key, machine_registry,  # noqa: F401
                             make_runtime, probes, reg_import)

pytestmark = pytest.mark.usefixtures("machine_registry")


def registry_launcher(tmp_path, minimum=""):
    keys = "[keys]\n\"128\" = 'Y'\n"
    java = f'[java]\nmin_version = "{minimum}"\n' if minimum else ""
    return pack(tmp_path, '[launcher]\ntype = "console"\n' + java + keys)


def home_value(path):
    return {"JavaHome": windows_path(path)}


def current_versions(tmp_path, jre, jdk):
    """The keys of both products with "CurrentVersion": each of `jre` and
    `jdk` is (current version, name of the home below tmp_path)."""
    entries = {}
    for kind, (version, home) in (("jre", jre), ("jdk", jdk)):
        entries[installed_runtime_key(kind, "")] = {"CurrentVersion": version}
        entries[installed_runtime_key(kind, version)] = home_value(tmp_path / home)
    return entries


def expect_loaded(exe, root, library):
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stderr) == (0, ""), run
    assert loaded_libraries(root) == [library]


def test_greater_current_version_wins_and_no_version_key_is_walked(tmp_path):
    exe = registry_launcher(tmp_path)
    make_runtime(tmp_path / "jre15", "1.5.0_22")
    make_runtime(tmp_path / "jdk16", "1.6.0_45")
    reg_import(current_versions(tmp_path, jre=("1.5", "jre15"), jdk=("1.6", "jdk16")))
    expect_loaded(exe, tmp_path, "jdk16/bin/client")
    assert probes(tmp_path / "jre15") == 0


def test_runtime_environment_wins_a_tie_and_bounds_empty_a_current_version(tmp_path):
    exe = registry_launcher(tmp_path, minimum="1.5")
    make_runtime(tmp_path / "jre", "1.5.0_22")
    make_runtime(tmp_path / "jdk", "1.5.0_22")
    make_runtime(tmp_path / "old", "1.4.2_19")
    reg_import(current_versions(tmp_path, jre=("1.5", "jre"), jdk=("1.5", "jdk")))
    expect_loaded(exe, tmp_path, "jre/bin/client")
    (tmp_path / "jre/bin/client/jvm.log").unlink()
    # A current version below the minimum counts as empty: the greater one wins.
    reg_import({
        installed_runtime_key("jre", ""): {"CurrentVersion": "1.4"},
        installed_runtime_key("jre", "1.4"): home_value(tmp_path / "old"),
    })
    expect_loaded(exe, tmp_path, "jdk/bin/client")
    assert probes(tmp_path / "old") == 0


def test_version_keys_are_walked_from_the_greatest_matching_name(tmp_path):
    exe = registry_launcher(tmp_path, minimum="1.4")
    for name, version in (("v131", "1.3.1_20"), ("v14", "1.4.0"), ("v142", "1.4.2_03")):
        make_runtime(tmp_path / name, version)
    keys = {installed_runtime_key("jre", "1.3.1"): home_value(tmp_path / "v131"),
            installed_runtime_key("jre", "1.4"): home_value(tmp_path / "v14"),
            installed_runtime_key("jre", "1.4.2"): home_value(tmp_path / "v142")}
    reg_import(keys)
    expect_loaded(exe, tmp_path, "v142/bin/client")
    assert (probes(tmp_path / "v131"), probes(tmp_path / "v14")) == (0, 0)
    # A version key without a usable home is passed over.
    (tmp_path / "v142/bin/java.exe").unlink()
    (tmp_path / "v142/bin/client/jvm.log").unlink()
    expect_loaded(exe, tmp_path, "v14/bin/client")
    assert probes(tmp_path / "v131") == 0


def test_development_kit_keys_follow_the_runtime_environment_keys(tmp_path):
    exe = registry_launcher(tmp_path, minimum="1.6")
    make_runtime(tmp_path / "jre", "1.6.0-beta")  # beta: rejected for an installed runtime
    make_runtime(tmp_path / "jdk", "1.6.0_10")
    reg_import({installed_runtime_key("jre", "1.6"): home_value(tmp_path / "jre"),
                installed_runtime_key("jdk", "1.6.0"): home_value(tmp_path / "jdk")})
    expect_loaded(exe, tmp_path, "jdk/bin/client")
    assert probes(tmp_path / "jre") == 1


@pytest.mark.parametrize("located_version, winner", [("1.6.0_45", "located"), ("1.6.0_44", "installed"),
                                                     ("1.6.0_46", "located")])
def test_installed_runtime_wins_only_with_a_greater_version(tmp_path, located_version, winner):
    exe = registry_launcher(tmp_path)
    make_runtime(tmp_path / "installed", "1.6.0_45")
    make_runtime(tmp_path / "located", located_version)
    java = windows_path(tmp_path / "located" / "bin" / "java.exe")
    reg_import({installed_runtime_key("jre", ""): {"CurrentVersion": "1.6"},
                installed_runtime_key("jre", "1.6"): home_value(tmp_path / "installed"),
                located_key("HKEY_CURRENT_USER", java): {}})
    expect_loaded(exe, tmp_path, f"{winner}/bin/client")


def test_located_runtimes_of_both_hives(tmp_path):
    exe = registry_launcher(tmp_path)
    for name, version in (("user", "1.6.0_45"), ("machine", "1.6.0_45"), ("gone", "1.7.0")):
        make_runtime(tmp_path / name, version)
    java = {name: windows_path(tmp_path / name / "bin" / "java.exe") for name in ("user", "machine", "gone")}
    reg_import({located_key("HKEY_CURRENT_USER", java["user"]): {},
                located_key("HKEY_LOCAL_MACHINE", java["machine"]): {},
                located_key("HKEY_LOCAL_MACHINE", java["gone"]): {}})
    (tmp_path / "gone/bin/java.exe").unlink()
    # The same version in both hives: the machine's entry.
    expect_loaded(exe, tmp_path, "machine/bin/client")
    (tmp_path / "machine/bin/client/jvm.log").unlink()
    make_runtime(tmp_path / "user", "1.6.0_46")  # a new executable: probed again
    expect_loaded(exe, tmp_path, "user/bin/client")
    gone_key = located_key("HKLM", java["gone"])
    assert reg("query", gone_key).returncode == 0  # passed over, not removed


def test_located_beta_runtime_is_accepted(tmp_path):
    exe = registry_launcher(tmp_path)
    make_runtime(tmp_path / "beta", "1.7.0-beta")
    java = windows_path(tmp_path / "beta" / "bin" / "java.exe")
    reg_import({located_key("HKEY_CURRENT_USER", java): {}})
    expect_loaded(exe, tmp_path, "beta/bin/client")


def test_empty_registry_finds_nothing(tmp_path):
    exe = registry_launcher(tmp_path)
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND)
