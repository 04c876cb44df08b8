"""The runtime download behind the Download button of the runtime-not-found
dialog: the archive fetched over HTTP from a server on 127.0.0.1 into
"jre.tar.gz" in the payload directory, the status line while it runs, every
failure ending with the download error (exit code 1), and a downloaded
runtime archive unpacked and started."""
import gzip
import os
import re
import socket
import struct
import threading
import time
from http.server import BaseHTTPRequestHandler, HTTPServer

import pytest

from conftest import PROBE, Window, pack, probe, run_wine
from payload_support import Launch, the_payload_directory
from runtime_doubles import loaded_libraries
from test_runtime_archive import Runtime, tar, tree

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

    def start(respond):
        servers.append(ArchiveServer(respond))
        return servers[-1]

    yield start
    for server in servers:
        server.stop()


def answer(status=200, body=b"", length=True, sent=None, hold_after=None, reset=False):
    """A response: `status`, the Content-Length of `body` (unless `length`
    is false), then the first `sent` bytes of the body (all by default).
    With `hold_after`, the body stops after that many bytes until the
    server's release event is set (at most 20 seconds). With `reset`, the
    connection is then reset instead of closed."""
    def respond(handler, server):
        handler.send_response(status)
        if length:
            handler.send_header("Content-Length", str(len(body)))
        handler.end_headers()
        part = body if sent is None else body[:sent]
        if hold_after is not None:
            handler.wfile.write(part[:hold_after])
            handler.wfile.flush()
            server.release.wait(20)
            part = part[hold_after:]
        handler.wfile.write(part)
        if reset:
            # Linger time 0: closing the socket sends a reset.
            handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            handler.connection.close()
    return respond


def start_download(tmp_path, url, **options):
    """Starts a launcher whose download location is `url` with a temporary
    directory of its own (and the `Launch` options), and presses Download
    in the not-found dialog."""
    exe = pack(tmp_path, PROJECT.format(url=url))
    temp = tmp_path / "temp"
    temp.mkdir()
    process = Launch(tmp_path, exe, temp_dir=temp, **options)
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
    # 2.5 reads of 16384 bytes: the last read asks for the remainder. The
    # server holds back the last part, after two reads in quick succession.
    body = os.urandom(40960)
    server = serve(answer(body=body, hold_after=32768))
    process, temp = start_download(tmp_path, server.url)
    keep = linked_archive(temp, tmp_path)
    # The first read is reported at once, the second one, well within half a
    # second of it, is not; the transfer now waits for the server.
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
    assert (received, total, percent) == ("0.02", "0.04", "40.0")
    assert float(rate) >= 0
    assert keep.read_bytes() == body
    assert server.paths == ["/jre.tar.gz"]
    assert (boxes[-1][1], run.returncode) == AFTER_DOWNLOAD, (boxes, run)
    assert all(text != DOWNLOAD_FAILED for _, text in boxes)


def test_an_error_page_with_a_length_is_saved_as_the_archive(tmp_path, serve):
    page = b"<html><body>Not Found</body></html>" * 20
    server = serve(answer(status=404, body=page, hold_after=100))
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
], ids=["no-content-length", "closed-early", "reset"])
def test_download_failures_end_with_the_download_error(tmp_path, serve, respond):
    server = serve(respond)
    process, temp = start_download(tmp_path, server.url)
    expect_download_failure(process, temp)
    assert server.paths == ["/jre.tar.gz"]


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
