"""The registrations of today's installers (token "V", project source
"registrations"): the JavaSoft keys of release 9 and later and the vendors'
keys, each layout found; the accepted runtime with the greatest version by
number wins; the beta rule of the automatic sources; values of the wrong type
or too long for the launcher's buffers are passed over."""
import pytest

from conftest import NO_JRE_FOUND, pack, reg, run_launcher, windows_path
from runtime_doubles import loaded_libraries, make_runtime, reg_import

# Each layout: the key below HKLM\SOFTWARE holding one sub-key per runtime,
# a runtime's sub-key, the key below it with the home, the home's value.
LAYOUTS = {
    "jdk": (r"JavaSoft\JDK", "21", "", "JavaHome"),
    "jre": (r"JavaSoft\JRE", "17", "", "JavaHome"),
    "adoptium-jdk": (r"Eclipse Adoptium\JDK", "21.0.2.13", r"hotspot\MSI", "Path"),
    "adoptium-jre": (r"Eclipse Adoptium\JRE", "17.0.10.7", r"hotspot\MSI", "Path"),
    "zulu": (r"Azul Systems\Zulu", "zulu-21", "", "InstallationPath"),
    "liberica": (r"BellSoft\Liberica", "jdk-21", "", "InstallationPath"),
    "microsoft": (r"Microsoft\JDK", "21.0.2.13", r"hotspot\MSI", "Path"),
}
# The vendor keys the tests write, removed before and after each test (the
# Microsoft key only below JDK: the prefix has other keys there).
VENDOR_KEYS = [r"HKLM\SOFTWARE\JavaSoft", r"HKLM\SOFTWARE\Eclipse Adoptium", r"HKLM\SOFTWARE\Azul Systems",
               r"HKLM\SOFTWARE\BellSoft", r"HKLM\SOFTWARE\Microsoft\JDK"]


@pytest.fixture(autouse=True)
def vendor_registry():
    for key in VENDOR_KEYS:
        reg("delete", key, "/f")
    yield
    for key in VENDOR_KEYS:
        reg("delete", key, "/f")


def home_key(layout):
    key, runtime, below, _ = LAYOUTS[layout]
    return "\\".join(part for part in (r"HKEY_LOCAL_MACHINE\SOFTWARE", key, runtime, below) if part)


def register(tmp_path, layout, name, version):
    """A runtime home below tmp_path, registered the way `layout` does."""
    home = make_runtime(tmp_path / name, version, release=f'JAVA_VERSION="{version}"\n')
    reg_import({home_key(layout): {LAYOUTS[layout][3]: windows_path(home)}})


def launcher(tmp_path, sequence='"registrations"', java=""):
    project = f'[launcher]\ntype = "console"\n[java]\nsearch_sequence = [{sequence}]\n{java}'
    return pack(tmp_path, project)


def expect_loaded(exe, tmp_path, library):
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stderr) == (0, ""), run
    assert loaded_libraries(tmp_path) == [library]


@pytest.mark.parametrize("layout", sorted(LAYOUTS))
def test_each_layout_is_found(tmp_path, layout):
    register(tmp_path, layout, "runtime", "17.0.9")
    expect_loaded(launcher(tmp_path), tmp_path, "runtime/bin/client")


def test_the_greatest_version_by_number_wins_and_older_keys_are_not_read(tmp_path):
    register(tmp_path, "jdk", "nine", "9.0.4")
    register(tmp_path, "zulu", "twentyone", "21.0.1")
    register(tmp_path, "adoptium-jdk", "seventeen", "17.0.10")
    reg_import({r"HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK": {"CurrentVersion": "21"}})
    expect_loaded(launcher(tmp_path), tmp_path, "twentyone/bin/client")
    # The source of the runtimes before 9 does not read these keys.
    run = run_launcher(launcher(tmp_path, '"registry"'), "-q")
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND)


@pytest.mark.parametrize("accept_beta, library", [(False, "release/bin/client"), (True, "beta/bin/client")])
def test_beta_versions_only_when_accepted(tmp_path, accept_beta, library):
    register(tmp_path, "adoptium-jdk", "beta", "23-beta")
    register(tmp_path, "microsoft", "release", "21.0.2")
    exe = launcher(tmp_path, java=f"accept_beta = {str(accept_beta).lower()}\n")
    expect_loaded(exe, tmp_path, library)


def test_values_of_another_type_or_too_long_are_passed_over(tmp_path):
    register(tmp_path, "jre", "kept", "17.0.9")
    # Greater versions, whose homes are named in values the launcher must not use.
    for layout, name, kind in (("zulu", "expand", "REG_EXPAND_SZ"), ("liberica", "multi", "REG_MULTI_SZ")):
        home = make_runtime(tmp_path / name, "21.0.1", release='JAVA_VERSION="21.0.1"\n')
        reg("add", home_key(layout), "/v", LAYOUTS[layout][3], "/t", kind, "/d", windows_path(home), "/f", check=True)
    reg("add", home_key("jdk"), "/v", "JavaHome", "/t", "REG_DWORD", "/d", "21", "/f", check=True)
    reg("add", home_key("microsoft"), "/v", "Path", "/d", "C:\\" + "x" * 9000, "/f", check=True)
    expect_loaded(launcher(tmp_path), tmp_path, "kept/bin/client")
