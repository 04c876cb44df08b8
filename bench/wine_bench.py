"""Helpers of the benchmarks that run launchers under Wine: the architecture
measured, a fresh Wine prefix of their own with an in-memory drive, packing a
launcher, timing a process, and printing figures and ratios against their
targets.

Every benchmark measures side by side in one run: the sides alternate round
by round, and each figure is shown as the least disturbed run (the minimum)
next to the median."""
import contextlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
# Wine's 64-bit loader, as the tests use it: it runs 64-bit programs and hands
# 32-bit ones on to the 32-bit loader where one is installed.
WINE = "/usr/lib/wine/wine64"
STUB_NAMES = {"x64": "kestrel-stub64.exe", "x86": "kestrel-stub.exe"}
MINGW_CC = {"x64": "x86_64-w64-mingw32-gcc", "x86": "i686-w64-mingw32-gcc"}
# The drive letter of the in-memory drive, and the Windows form of its root.
MEMORY_DRIVE = "m:"


def machine_arches():
    """The Windows architectures this machine runs ("x64", and "x86" where
    the kernel runs 32-bit programs)."""
    return subprocess.run([ROOT / "tools" / "machine-arches.sh"], capture_output=True, text=True,
                          check=True).stdout.split()


def measured_arch():
    """The architecture a benchmark measures: x64, the only one every machine
    runs; KESTREL_BENCH_ARCH=x86 picks the 32-bit stub where it runs."""
    arch = os.environ.get("KESTREL_BENCH_ARCH", "x64")
    if arch not in machine_arches():
        sys.exit(f"this machine cannot run {arch} programs (tools/machine-arches.sh)")
    return arch


def windows_path(path):
    """The Wine (Windows) form of a Linux path."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def make_prefix(prefix):
    """A fresh Wine prefix at `prefix` with a persistent wineserver, as the
    tests use (tools/wine-env.sh)."""
    subprocess.run(["bash", "-c", 'source tools/wine-env.sh && fresh_wine_prefix "$1"', "-", prefix],
                   cwd=ROOT, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wine_environment(prefix, **extra):
    env = dict(os.environ, WINEPREFIX=str(prefix), WINEARCH="win64", WINEDEBUG="-all", LANG="C.UTF-8")
    env.pop("DISPLAY", None)
    env.update(extra)
    return env


@contextlib.contextmanager
def desktop_kept(env):
    """Keeps Wine's desktop process running while the block runs: with no
    window of its own left in the prefix, Wine starts a desktop process for
    every GUI program and ends it after, a cost of Wine alone (on Windows the
    desktop always runs) that would swamp what is measured. An invisible
    notepad window (the prefix has the null graphics driver) holds it."""
    holder = subprocess.Popen([WINE, "notepad"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    try:
        yield
    finally:
        if holder.poll() is not None:
            print(f"note: the desktop's holder ended early (exit code {holder.returncode})")
        holder.terminate()
        holder.wait()


def end_wineserver(env):
    subprocess.run(["wineserver", "-k"], env=env)
    subprocess.run(["wineserver", "-w"], env=env)


@contextlib.contextmanager
def bench_wine(prefix, **extra):
    """A fresh prefix at `prefix` with its desktop kept running while the
    block runs (it gets the environment to run Wine with); its Wine server is
    ended after."""
    make_prefix(prefix)
    env = wine_environment(prefix, **extra)
    try:
        with desktop_kept(env):
            yield env
    finally:
        end_wineserver(env)


class MemoryDrive:
    """A directory in /dev/shm that the prefix sees as drive M:, with the
    user's %TEMP% and %TMP% on it: on disk, write-back makes file-heavy
    timings swing far more than the differences measured."""

    def __init__(self, prefix, env):
        self.root = Path(tempfile.mkdtemp(prefix="kestrel-bench-", dir="/dev/shm"))
        self.link = Path(prefix) / "dosdevices" / MEMORY_DRIVE
        self.link.unlink(missing_ok=True)
        self.link.symlink_to(self.root)
        self.temp = self.root / "temp"
        self.temp.mkdir()
        for name in ("TEMP", "TMP"):
            subprocess.run([WINE, "reg", "add", r"HKCU\Environment", "/v", name, "/d", self.windows(self.temp),
                            "/f"], env=env, check=True, capture_output=True)

    def windows(self, path):
        """The drive-letter form of a path below the drive's root."""
        relative = Path(path).relative_to(self.root)
        return MEMORY_DRIVE.upper() + "\\" + str(relative).replace("/", "\\").lstrip(".")

    def close(self):
        self.link.unlink(missing_ok=True)
        shutil.rmtree(self.root, ignore_errors=True)


@contextlib.contextmanager
def memory_drive(prefix, env):
    drive = MemoryDrive(prefix, env)
    try:
        yield drive
    finally:
        drive.close()


def pack_launcher(build, project_text, launcher, arch):
    """Builds `launcher` from the project text with the build's packer and the
    stub of `arch`."""
    project = launcher.with_suffix(".toml")
    project.write_text(project_text)
    subprocess.run([build / "host" / "kestrel-pack", "build", project, "-o", launcher,
                    "--stub", build / "stub" / STUB_NAMES[arch]], check=True, stdout=subprocess.DEVNULL)
    return launcher


def timed_process(command, env, expect=0, cwd=None):
    """Seconds `command` takes to its end, and its process's peak resident set in MB."""
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != expect:
        sys.exit(f"{command} ended with {code}, not {expect}")
    return elapsed, usage.ru_maxrss / 1024


def least_and_median(values):
    return min(values), statistics.median(values)


def print_times(title, times, unit="s"):
    """Each named list of seconds as its minimum, median and maximum."""
    scale, digits = (1000, 1) if unit == "ms" else (1, 3)
    print(title)
    for name, values in times.items():
        low, middle = least_and_median(values)
        print(f"  {name:28} min {low * scale:9.{digits}f}  median {middle * scale:9.{digits}f}  "
              f"max {max(values) * scale:9.{digits}f} {unit}")


def print_ratio(name, by_minimum, by_median, target, at_most):
    """A ratio from the least disturbed runs and from the medians against its
    target (`at_most`: the ratio must not exceed it, else reach it)."""
    def verdict(ratio):
        return "met" if (ratio <= target if at_most else ratio >= target) else "NOT met"
    sign = "<=" if at_most else ">="
    print(f"  {name}: {by_minimum:.2f} from the minima ({verdict(by_minimum)}), {by_median:.2f} from the "
          f"medians ({verdict(by_median)}); target {sign} {target}")
