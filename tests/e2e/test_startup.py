"""Start-up switches and the launch sequence up to the runtime search: the
quiet start without a runtime, the question after an unfinished earlier run,
and the two dialogs."""
from conftest import (NO_JRE_FOUND, REGISTRY_KEY, finish, pack, probe, reg_add, reg_query, run_launcher,
                      start_launcher)

PROJECT = """
[launcher]
type = "installer"
[texts]
caption = "Kestrel Setup"
preparing = "Preparing the application"
cancel_button = "Stop"
locate_button = "Find..."
download_button = "Get it"
not_found_with_download = "Need Java %S to %S (download offered)"
not_found_locate_only = "Need Java %S to %S"
resume_question = "Pick the runtime by hand?"
"""


def test_quiet_start_without_runtime_prints_no_jre_found(tmp_path):
    exe = pack(tmp_path, PROJECT)
    run = run_launcher(exe, "-q")
    assert (run.returncode, run.stdout, run.stderr) == (83, NO_JRE_FOUND, "")
    assert reg_query(REGISTRY_KEY, "InstallStarted") == "0x1"


def test_any_argument_starting_with_q_switch_is_quiet(tmp_path):
    exe = pack(tmp_path, PROJECT)
    reg_add(REGISTRY_KEY, "InstallStarted", "1", "REG_DWORD")
    # Quiet: no question is asked although a runtime search was left unfinished.
    run = run_launcher(exe, "-quick", "other")
    assert (run.returncode, run.stdout) == (83, NO_JRE_FOUND)


def test_dialog_start_shows_progress_then_not_found_dialog(tmp_path):
    exe = pack(tmp_path, PROJECT + '[java]\nmin_version = "1.8"\n')
    process = start_launcher(exe)
    not_found = probe(title="Kestrel Setup", press=2, timeout=20)
    run = finish(process)
    assert run.returncode == 1
    assert not_found.text(1003) == "Need Java 1.8 to -"
    assert not_found.text(1005) == "Find..."
    assert not_found.text(2) == "Stop"
    assert not not_found.visible(1004)
    assert not_found.owner == "Kestrel Setup"


def test_download_button_shown_when_a_location_is_configured(tmp_path):
    exe = pack(tmp_path, PROJECT + '[runtime]\ndownload_url = "http://127.0.0.1:9/jre.tar.gz"\n')
    process = start_launcher(exe)
    not_found = probe(title="Kestrel Setup", press=2, timeout=20)
    finish(process)
    assert not_found.visible(1004)
    assert not_found.text(1004) == "Get it"
    assert not_found.text(1003) == "Need Java - to - (download offered)"


def test_unfinished_earlier_run_asks_before_the_progress_dialog(tmp_path):
    exe = pack(tmp_path, PROJECT)
    reg_add(REGISTRY_KEY, "InstallStarted", "1", "REG_DWORD")
    process = start_launcher(exe)
    question = probe(press=7)  # No
    not_found = probe(title="Kestrel Setup", press=2, timeout=20)
    run = finish(process)
    assert (question.caption, question.message) == ("Kestrel Setup", "Pick the runtime by hand?")
    assert not_found.text(2) == "Stop"
    assert run.returncode == 1


def test_zero_install_started_asks_nothing(tmp_path):
    exe = pack(tmp_path, PROJECT)
    reg_add(REGISTRY_KEY, "InstallStarted", "0", "REG_DWORD")
    process = start_launcher(exe)
    first = probe(title="Kestrel Setup", press=2, timeout=20)
    run = finish(process)
    assert first.text(1005) == "Find..."  # the not-found dialog, no question before it
    assert run.returncode == 1


def test_closing_the_progress_dialog_ends_with_zero(tmp_path):
    exe = pack(tmp_path, PROJECT)
    process = start_launcher(exe)
    probe(title="Kestrel Setup", timeout=20)  # the not-found dialog is up, owned by the progress dialog
    progress = probe(window_class="MyDlgClass", press=2)
    run = finish(process)
    assert run.returncode == 0
    assert progress.caption == "Kestrel Setup"
    assert progress.text(1003) == "Preparing the application"
    assert progress.text(2) == "Stop"
    assert not progress.visible(1002)
    assert progress.visible(1001)
