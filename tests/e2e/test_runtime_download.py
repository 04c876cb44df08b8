"""The runtime download behind the Download button of the runtime-not-found
dialog: the archive fetched over HTTP from a server on 127.0.0.1 into
"jre.tar.gz" in the payload directory (wherever the file chooser went
meanwhile), the status line while it runs, every failure ending with the
download error (exit code 1) and leaving no archive behind, hostile
servers (slow, silent, redirecting, announcing lengths that cannot be held
or read), Cancel in the middle, and a downloaded runtime archive unpacked
and started."""
import gzip
import os
import re
import shutil
import socket
import struct
import threading
import time
from http.server import BaseHTTPRequestHandler, HTTPServer

import pytest

from conftest import ARCH, PROBE, Window, pack, probe, run_wine, windows_path
from payload_support import Launch, the_payload_directory
from runtime_doubles import DOUBLES, loaded_libraries
from test_runtime_archive import Runtime, tar, tree
from test_runtime_locator import CHOOSER, FILE_NAME_BOX, window

CAPTION = "Kestrel Setup"
DOWNLOADING = "Downloading Java"
DOWNLOAD_FAILED = "Download failed"
PROJECT = f"""
[launcher]
type = "installer"
[texts]
caption = "{CAPTION}"
cancel_button = "Stop"
downloading = "{DOWNLOADING}"
download_failed = "{DOWNLOAD_FAILED}"
internet_init_failed = "No internet library"
download_starting = "Connecting"
chooser_title = "{CHOOSER}"
[messages]
no_runtime = "No runtime"
[runtime]
download_url = "{{url}}"
"""
# The default status line: megabytes received and in all, percent, rate.
STATUS = re.compile(r"(\d+\.\d\d) MB of (\d+\.\d\d) MB \((\d+\.\d)%\) at (\d+\.\d) kB/s")
# What follows a download that is no runtime archive: nothing usable is
# unpacked, the runtime check reports it and the launcher ends with 83.
AFTER_DOWNLOAD = ("No runtime", 83)


class ArchiveServer:
    """An HTTP server on a free port of 127.0.0.1, in a thread of its own.
    It answers at most `requests` requests with `respond(handler)` and stops
    by itself after them or after 60 seconds; `stop` ends it earlier."""

    def __init__(self, respond, requests=1):
        self.paths = []
        self.release = threading.Event()  # lets a response held back go on
        self._stopping = threading.Event()
        server = self

        class Handler(BaseHTTPRequestHandler):
            def do_GET(self):
                server.paths.append(self.path)
                respond(self, server)

            def log_message(self, *args):
                pass

        self._http = HTTPServer(("127.0.0.1", 0), Handler)
        self._http.timeout = 0.2
        self.url = f"http://127.0.0.1:{self._http.server_address[1]}/jre.tar.gz"
        self._thread = threading.Thread(target=self._serve, args=(requests,), daemon=True)
        self._thread.start()

    def _serve(self, requests):
        deadline = time.monotonic() + 60
        while len(self.paths) < requests and not self._stopping.is_set() and time.monotonic() < deadline:
            self._http.handle_request()
        self._http.server_close()

    def stop(self):
        self._stopping.set()
        self.release.set()
        self._thread.join(timeout=10)
        assert not self._thread.is_alive()


@pytest.fixture
def serve():
    servers = []

    def start(respond, requests=1):
        servers.append(ArchiveServer(respond, requests))
        return servers[-1]

    yield start
    for server in servers:
        server.stop()


def answer(status=200, body=b"", length=True, sent=None, hold_after=None, hold_for=20, reset=False, drip=None):
    """A response: `status`, the Content-Length of `body` (a text of its
    own when `length` is one; none when it is false), then the first `sent`
    bytes of the body (all by default). With `hold_after`, the body stops
    after that many bytes until the server's release event is set (at most
    `hold_for` seconds). With `drip` (bytes, seconds), the body goes out in
    drops of that many bytes that far apart, until it ends or the release
    event is set. With `reset`, the connection is then reset instead of
    closed."""
    def respond(handler, server):
        handler.send_response(status)
        if length:
            handler.send_header("Content-Length", length if isinstance(length, str) else str(len(body)))
        handler.end_headers()
        part = body if sent is None else body[:sent]
        if hold_after is not None:
            handler.wfile.write(part[:hold_after])
            handler.wfile.flush()
            server.release.wait(hold_for)
            part = part[hold_after:]
        if drip is not None:
            size, pause = drip
            while part and not server.release.is_set():
                handler.wfile.write(part[:size])
                handler.wfile.flush()
                part = part[size:]
                time.sleep(pause)
            return
        handler.wfile.write(part)
        if reset:
            # Linger time 0: closing the socket sends a reset.
            handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            handler.connection.close()
    return respond


def silence(handler, server):
    """No response at all: the connection closes without a byte."""
    handler.close_connection = True


def redirect_then(respond):
    """A redirection of the archive's address to another path, served by `respond`."""
    def first(handler, server):
        if handler.path != "/jre.tar.gz":
            return respond(handler, server)
        handler.send_response(302)
        handler.send_header("Location", "/moved/jre.tar.gz")
        handler.send_header("Content-Length", "0")
        handler.end_headers()
    return first


def launch_offering_download(tmp_path, url, **options):
    """Starts a launcher whose download location is `url` with a temporary
    directory of its own (and the `Launch` options)."""
    exe = pack(tmp_path, PROJECT.format(url=url))
    temp = tmp_path / "temp"
    temp.mkdir()
    return Launch(tmp_path, exe, temp_dir=temp, **options), temp


def start_download(tmp_path, url, **options):
    """launch_offering_download, then Download in the not-found dialog."""
    process, temp = launch_offering_download(tmp_path, url, **options)
    not_found = probe(title=CAPTION, press=1004, timeout=20)
    assert not_found.text(1004) and not_found.visible(1004)
    return process, temp


def finish_pressing_boxes(process):
    """Presses OK in each message box the launcher shows until it ends;
    returns the run and the (caption, text) of every box."""
    boxes = []
    for _ in range(3):
        if process.process.poll() is not None:
            break
        result = run_wine([PROBE, "--timeout", 5, "--press", 1], timeout=20)
        if result.returncode == 0:
            box = Window(result.stdout.decode("utf-8"))
            boxes.append((box.caption, box.message))
    return process.finish(), boxes


def wait_for_file(path, timeout=20):
    deadline = time.monotonic() + timeout
    while not path.exists():
        assert time.monotonic() < deadline, f"{path} did not appear"
        time.sleep(0.05)


def linked_archive(temp, tmp_path):
    """Links the archive being written to a second name, which keeps its
    bytes whatever the launcher does with the archive afterwards."""
    archive = the_payload_directory(temp) / "jre.tar.gz"
    wait_for_file(archive)
    keep = tmp_path / "downloaded.bin"
    os.link(archive, keep)
    return keep


# --- successful downloads --------------------------------------------------

def test_download_writes_the_archive_and_shows_progress_while_it_runs(tmp_path, serve):
    # The server holds back the last 8192 bytes; the 32768 before them come
    # at once and are read in quick succession (each read takes what has
    # arrived, at most 16384 bytes).
    body = os.urandom(40960)
    server = serve(answer(body=body, hold_after=32768))
    process, temp = start_download(tmp_path, server.url)
    keep = linked_archive(temp, tmp_path)
    # The first read is reported at once, the ones right after it, well
    # within half a second, are not; the transfer now waits for the server.
    deadline = time.monotonic() + 10
    while True:
        progress = probe(window_class="MyDlgClass")
        if STATUS.fullmatch(progress.text(1002)) or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    server.release.set()
    run, boxes = finish_pressing_boxes(process)

    assert progress.text(1003) == DOWNLOADING
    assert progress.text(2) == "Stop"
    assert progress.visible(1002)
    received, total, percent, rate = STATUS.fullmatch(progress.text(1002)).groups()
    assert total == "0.04"
    assert 0 < float(percent) <= 40.0  # one read's worth, not the 80% reached since
    assert float(rate) >= 0
    assert keep.read_bytes() == body
    assert server.paths == ["/jre.tar.gz"]
    assert (boxes[-1][1], run.returncode) == AFTER_DOWNLOAD, (boxes, run)
    assert all(text != DOWNLOAD_FAILED for _, text in boxes)


@pytest.mark.parametrize("status", [404, 500])
def test_an_error_page_with_a_length_is_saved_as_the_archive(tmp_path, serve, status):
    page = b"<html><body>Not Found</body></html>" * 20
    server = serve(answer(status=status, body=page, hold_after=100))
    process, temp = start_download(tmp_path, server.url)
    keep = linked_archive(temp, tmp_path)
    server.release.set()
    run, boxes = finish_pressing_boxes(process)
    assert keep.read_bytes() == page
    assert (boxes[-1][1], run.returncode) == AFTER_DOWNLOAD, (boxes, run)


def test_a_length_of_zero_counts_as_a_download(tmp_path, serve):
    server = serve(answer(body=b""))
    process, temp = start_download(tmp_path, server.url)
    run, boxes = finish_pressing_boxes(process)
    # An empty archive is a damaged one: deleted, and no "jre" is left.
    assert (boxes, run.returncode) == ([("Error", AFTER_DOWNLOAD[0])], AFTER_DOWNLOAD[1]), run
    assert sorted(p.name for p in the_payload_directory(temp).iterdir()) == ["kestrel-runtime.jar"]


def test_a_downloaded_runtime_is_unpacked_and_started(tmp_path, serve):
    runtime = Runtime(tmp_path / "source")
    server = serve(answer(body=gzip.compress(tar(tree(runtime.home)))))
    process, temp = start_download(tmp_path, server.url)
    run = process.finish()
    # The VM ran the launcher's main and was destroyed: the dialog ends with 0.
    assert (run.returncode, run.stdout, run.stderr) == (0, "", ""), run
    assert runtime.started(), runtime.double.call_names()
    directory = the_payload_directory(temp)
    assert loaded_libraries(directory) == ["jre/bin/client"]  # the unpacked copy, not the source
    assert not (directory / "jre.tar.gz").exists()


# --- failed downloads ------------------------------------------------------

def expect_download_failure(process, temp, message=DOWNLOAD_FAILED):
    """The failure box is owned by the progress dialog, which still shows
    the download; pressing OK ends the launcher with exit code 1 and no
    archive is left behind."""
    progress = probe(window_class="MyDlgClass")
    box = probe(press=1)
    run = process.finish()
    assert (box.caption, box.message, box.owner) == (CAPTION, message, CAPTION)
    assert (progress.text(1003), progress.visible(1002)) == (DOWNLOADING, True)
    assert run.returncode == 1, run
    assert not (the_payload_directory(temp) / "jre.tar.gz").exists()


@pytest.mark.parametrize("respond", [
    answer(body=b"x" * 1000, length=False),
    # The server closes the connection after 100 of the announced 40000 bytes.
    answer(body=os.urandom(40000), sent=100),
    answer(body=os.urandom(40000), sent=20000, reset=True),
    silence,
], ids=["no-content-length", "closed-early", "reset", "no-response"])
def test_download_failures_end_with_the_download_error(tmp_path, serve, respond):
    server = serve(respond)
    process, temp = start_download(tmp_path, server.url)
    expect_download_failure(process, temp)
    assert server.paths[0] == "/jre.tar.gz"


def test_a_refused_connection_ends_with_the_download_error(tmp_path):
    with socket.socket() as unused:
        unused.bind(("127.0.0.1", 0))
        port = unused.getsockname()[1]
    process, temp = start_download(tmp_path, f"http://127.0.0.1:{port}/jre.tar.gz")
    expect_download_failure(process, temp)


def test_without_the_internet_library_the_launcher_ends_with_its_error(tmp_path, monkeypatch):
    monkeypatch.setenv("WINEDLLOVERRIDES", "wininet=d")
    process, temp = start_download(tmp_path, "http://127.0.0.1:9/jre.tar.gz")
    expect_download_failure(process, temp, "No internet library")


def test_a_full_disk_ends_with_the_download_error(tmp_path, serve):
    server = serve(answer(body=os.urandom(200_000)))
    # Writes beyond 64 KB fail: the payload fits, the archive does not.
    process, temp = start_download(tmp_path, server.url, file_size_limit=65536)
    expect_download_failure(process, temp)


# --- where the archive goes, and what is loaded for it ------------------------

def runtime_archive(tmp_path):
    runtime = Runtime(tmp_path / "source")
    return runtime, gzip.compress(tar(tree(runtime.home)))


def test_browsing_in_the_file_chooser_does_not_move_the_download(tmp_path, serve):
    # The chooser makes the folder the user browsed to the current one.
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    (elsewhere / "jre.tar.gz").write_bytes(b"the user's own file")
    runtime, archive = runtime_archive(tmp_path)
    server = serve(answer(body=archive))
    process, temp = launch_offering_download(tmp_path, server.url)
    window(CAPTION, "--press", 1005, "--wait", 0)
    window(CHOOSER, "--set-text", f"{FILE_NAME_BOX}={windows_path(elsewhere)}", "--press", 1, "--wait", 0)
    window(CHOOSER, "--press", 2)
    window(CAPTION, "--press", 1004)
    run = process.finish()
    # (Wine's chooser may note on standard error that it could not read the
    # volume label of Z:.)
    assert (run.returncode, run.stdout) == (0, ""), run
    assert runtime.started()
    assert loaded_libraries(the_payload_directory(temp)) == ["jre/bin/client"]
    assert sorted(p.name for p in elsewhere.iterdir()) == ["jre.tar.gz"]
    assert (elsewhere / "jre.tar.gz").read_bytes() == b"the user's own file"


def test_an_internet_library_beside_the_launcher_is_never_loaded(tmp_path, serve, monkeypatch):
    # Wine loads its own library for the name unless told to prefer one
    # found on the search path, as Windows does.
    monkeypatch.setenv("WINEDLLOVERRIDES", "wininet=n,b")
    # A library that logs its loading to jvm.log beside itself.
    shutil.copy(DOUBLES / "jvm-without-entry.dll", tmp_path / "wininet.dll")
    runtime, archive = runtime_archive(tmp_path)
    server = serve(answer(body=archive))
    process, temp = start_download(tmp_path, server.url)
    run = process.finish()
    assert (run.returncode, run.stdout, run.stderr) == (0, "", ""), run
    assert not (tmp_path / "jvm.log").exists()
    assert runtime.started()


# --- hostile servers -------------------------------------------------------------

def test_a_redirection_is_followed_to_the_archive(tmp_path, serve):
    runtime, archive = runtime_archive(tmp_path)
    server = serve(redirect_then(answer(body=archive)), requests=2)
    process, temp = start_download(tmp_path, server.url)
    run = process.finish()
    assert (run.returncode, run.stdout, run.stderr) == (0, "", ""), run
    assert server.paths == ["/jre.tar.gz", "/moved/jre.tar.gz"]
    assert runtime.started()


@pytest.mark.parametrize("length", ["1000000000000000", "99999999999999999999", "12abc", "-1"],
                         ids=["beyond-the-disk", "beyond-64-bits", "not-a-number", "negative"])
def test_a_length_that_cannot_be_held_or_read_fails_before_anything_is_written(tmp_path, serve, length):
    # The server holds the body back: the failure comes from the length alone.
    server = serve(answer(body=os.urandom(1000), length=length, hold_after=100))
    process, temp = start_download(tmp_path, server.url)
    expect_download_failure(process, temp)


def read_status(pattern=STATUS, timeout=10):
    """The download status line, once it matches `pattern`: its groups."""
    deadline = time.monotonic() + timeout
    while True:
        found = pattern.fullmatch(probe(window_class="MyDlgClass").text(1002))
        if found or time.monotonic() > deadline:
            assert found, "no download figures on the status line"
            return found.groups()
        time.sleep(0.2)


def test_a_length_past_4_gb_is_counted_whole(tmp_path, serve):
    announced = 5 * 2**30
    if shutil.disk_usage(tmp_path).free < announced + 2**30:
        pytest.skip("the announced 5 GB must fit the disk")
    server = serve(answer(body=os.urandom(1000), length=str(announced), hold_after=500))
    process, temp = start_download(tmp_path, server.url)
    received, total, percent, _ = read_status()
    server.release.set()  # the body then ends short of its length
    assert (received, total, percent) == ("0.00", "5120.00", "0.0")
    expect_download_failure(process, temp)


def test_a_slow_download_keeps_the_dialog_current_and_cancel_removes_the_archive(tmp_path, serve):
    # 2.5 KB a second: one read of a whole 16 KB chunk would take six seconds.
    server = serve(answer(body=os.urandom(64 * 1024), drip=(256, 0.1)))
    process, temp = start_download(tmp_path, server.url)
    archive = the_payload_directory(temp) / "jre.tar.gz"
    wait_for_file(archive)
    percents = []
    deadline = time.monotonic() + 4
    while time.monotonic() < deadline:
        found = STATUS.fullmatch(probe(window_class="MyDlgClass").text(1002))
        if found:
            percents.append(float(found.group(3)))
    assert len(set(percents)) >= 2 and percents == sorted(percents), percents
    probe(window_class="MyDlgClass", press=2)
    run = process.finish(timeout=15)
    server.stop()
    assert (run.returncode, run.stdout, run.stderr) == (0, "", ""), run
    assert sorted(p.name for p in archive.parent.iterdir()) == ["kestrel-runtime.jar"]


def test_cancel_while_the_server_is_silent_ends_at_once_and_leaves_no_archive(tmp_path, serve):
    # The worker waits inside the internet library and never sees Cancel:
    # the archive goes all the same, with the process.
    server = serve(answer(body=os.urandom(40000), hold_after=100, hold_for=30))
    process, temp = start_download(tmp_path, server.url)
    archive = the_payload_directory(temp) / "jre.tar.gz"
    wait_for_file(archive)
    probe(window_class="MyDlgClass", press=2)
    started = time.monotonic()
    run = process.finish(timeout=15)
    assert time.monotonic() - started < 10
    assert (run.returncode, run.stdout, run.stderr) == (0, "", ""), run
    assert sorted(p.name for p in archive.parent.iterdir()) == ["kestrel-runtime.jar"]
    server.release.set()


@pytest.mark.skipif(ARCH != "x64", reason="the minute-long stall runs once per suite, with the 64-bit stub")
def test_a_download_that_receives_nothing_for_a_minute_fails(tmp_path, serve):
    server = serve(answer(body=os.urandom(40000), hold_after=100, hold_for=150))
    process, temp = start_download(tmp_path, server.url)
    wait_for_file(the_payload_directory(temp) / "jre.tar.gz")
    silent_since = time.monotonic()
    probe(title=CAPTION, timeout=100)
    waited = time.monotonic() - silent_since
    assert 55 < waited < 75, waited
    expect_download_failure(process, temp)
