#!/usr/bin/env python3
"""Payload extraction against a plain file copy of the same bytes, both under
Wine, on an in-memory drive.

Two payloads: 200 MB in 8 files, and 2,000 small files (0.5 to 12 KB, where
the costs per file show; 2,000 three-character names are about as many as
the launcher's list of payload names holds). A quiet console launcher
extracts each into its temporary directory and ends with "no jre found"; the
plain copy is cmd's COPY of the same files into a fresh directory. Each
side's time is taken net of its program's own start (a launcher without
payload, and cmd doing nothing), so both measure moving the bytes. The runs
of all sides alternate round by round; the ratio of throughputs (copy time /
extraction time) is printed from the minima and from the medians against its
target, and nothing is asserted.

Peak memory: the launcher process's peak resident set for each payload
against the launcher without payload; it should not grow with the payload.

Usage: bench/payload_extraction.py [BUILD_DIR]   (default: build)
Measures the 64-bit stub (KESTREL_BENCH_ARCH=x86: the 32-bit one, where the
machine runs it). Uses its own Wine prefix, BUILD_DIR/bench-payload-wineprefix,
made afresh, and about 900 MB in /dev/shm while it runs.
"""
import hashlib
import random
import shutil
import sys
from pathlib import Path

from wine_bench import (ROOT, WINE, bench_wine, least_and_median, measured_arch, memory_drive, pack_launcher,
                        print_ratio, print_times, timed_process)

ROUNDS = 7
MB = 1 << 20
RATIO_TARGET = 0.9
PEAK_TARGET_MB = 2.0
NO_RUNTIME_EXIT_CODE = 83


def make_large_files(directory):
    """200 MB of random bytes in 8 files."""
    directory.mkdir(parents=True)
    for index in range(8):
        with open(directory / f"part{index}.bin", "wb") as out:
            for _ in range(25):
                out.write(random.randbytes(MB))


def small_file_name(index):
    """Three base-36 digits; below 2,000 the first is 0 or 1, so no name is a device name."""
    digits = "0123456789abcdefghijklmnopqrstuvwxyz"
    return digits[index // 1296] + digits[index // 36 % 36] + digits[index % 36]


def make_small_files(directory):
    """2,000 files of 0.5 to 12 KB with names of three characters."""
    directory.mkdir(parents=True)
    for index in range(2000):
        (directory / small_file_name(index)).write_bytes(random.randbytes(random.randint(512, 12 * 1024)))


def pack(build, work, name, source, arch):
    """A quiet console launcher carrying every file of `source` (none without)."""
    files = ", ".join(f'"{path}"' for path in sorted(source.iterdir())) if source else ""
    text = f'[launcher]\ntype = "console"\n[payload]\nfiles = [{files}]\nruntime_jar = false\n'
    return pack_launcher(build, text, work / f"{name}.exe", arch)


def digest_tree(directory):
    return {path.name: hashlib.sha256(path.read_bytes()).hexdigest() for path in directory.iterdir()}


def clear(directory):
    shutil.rmtree(directory, ignore_errors=True)
    directory.mkdir()


class Sides:
    """The commands of one round and their timings: per payload, the
    launcher extracting it and cmd copying the same files."""

    def __init__(self, drive, work, launchers, sources, env):
        self.drive, self.work, self.launchers, self.sources, self.env = drive, work, launchers, sources, env
        self.times = {"launcher without payload": [], "cmd doing nothing": []}
        for name in sources:
            self.times[f"extract {name}"] = []
            self.times[f"copy {name}"] = []
        self.peaks = {name: [] for name in launchers}

    def launcher(self, name, counted=True):
        clear(self.drive.temp)
        seconds, peak = timed_process([WINE, self.drive.windows(self.launchers[name]), "-q"], self.env,
                                      NO_RUNTIME_EXIT_CODE)
        if counted:
            self.peaks[name].append(peak)
        return seconds

    def copy(self, name):
        target = self.work / f"copy-{name}"
        clear(target)
        command = [WINE, "cmd", "/c", "copy", "/b", "/y", self.drive.windows(self.sources[name]) + "\\*",
                   self.drive.windows(target) + "\\"]
        return timed_process(command, self.env)[0]

    def round(self, counted):
        measured = {"launcher without payload": lambda: self.launcher("none", counted),
                    "cmd doing nothing": lambda: timed_process([WINE, "cmd", "/c", "rem"], self.env)[0]}
        for name in self.sources:
            measured[f"extract {name}"] = lambda name=name: self.launcher(name, counted)
            measured[f"copy {name}"] = lambda name=name: self.copy(name)
        for label, action in measured.items():
            seconds = action()
            if counted:
                self.times[label].append(seconds)

    def check_bytes(self, name):
        """The last extraction of `name` wrote what the copy wrote."""
        self.launcher(name, counted=False)
        extracted = next(self.drive.temp.glob("*_dir*"))
        if digest_tree(extracted) != digest_tree(self.sources[name]):
            sys.exit(f"the extracted files of {name} differ from the payload")


def report(sides):
    print_times(f"payload extraction and plain copy under Wine, in memory, {ROUNDS} alternating rounds:",
                sides.times)
    start_low, start_mid = least_and_median(sides.times["launcher without payload"])
    idle_low, idle_mid = least_and_median(sides.times["cmd doing nothing"])
    print("throughput ratio extraction / copy (net of each program's start):")
    for name in sides.sources:
        extract_low, extract_mid = least_and_median(sides.times[f"extract {name}"])
        copy_low, copy_mid = least_and_median(sides.times[f"copy {name}"])
        print_ratio(name, (copy_low - idle_low) / (extract_low - start_low),
                    (copy_mid - idle_mid) / (extract_mid - start_mid), RATIO_TARGET, at_most=False)
    empty = max(sides.peaks["none"])
    print(f"peak resident set of the launcher process (max over runs), target <= {PEAK_TARGET_MB} MB above "
          f"the launcher without payload ({empty:.1f} MB):")
    for name in sides.sources:
        above = max(sides.peaks[name]) - empty
        print(f"  {name:28} {max(sides.peaks[name]):6.1f} MB, {above:+.1f} MB: "
              f"{'met' if above <= PEAK_TARGET_MB else 'NOT met'}")


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
    arch = measured_arch()
    prefix = build / "bench-payload-wineprefix"
    random.seed(17)
    with bench_wine(prefix) as env, memory_drive(prefix, env) as drive:
        work = drive.root / "work"
        work.mkdir()
        sources = {"200 MB in 8 files": work / "large", "2,000 small files": work / "small"}
        make_large_files(sources["200 MB in 8 files"])
        make_small_files(sources["2,000 small files"])
        launchers = {"none": pack(build, work, "none", None, arch)}
        for index, (name, source) in enumerate(sources.items()):
            launchers[name] = pack(build, work, f"payload{index}", source, arch)
        sides = Sides(drive, work, launchers, sources, env)
        for round_number in range(ROUNDS + 1):  # the first round warms up and is not counted
            sides.round(counted=round_number > 0)
        for name in sources:
            sides.check_bytes(name)
    print(f"stub: {arch} (the 32-bit stub only where the machine runs 32-bit programs)")
    report(sides)


if __name__ == "__main__":
    main()
