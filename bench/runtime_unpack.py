#!/usr/bin/env python3
"""Runtime archive unpacking under Wine against native GNU tar, on an
in-memory drive.

Two runtime archives made by `tar czf`: a large JDK tree (a copy of the
machine's 64-bit Linux JDK 17, links followed, dangling ones left out) and
a JDK-8-like tree of 2,000+ small files (bin, lib, legal notices per
module, include headers), where the costs per file show. A console launcher carries the archive as jre.tar.gz in its
payload, unpacks it, finds no runtime in it and ends with 83. Its twin
carries a file of the same size that is no gzip stream: zlib reads it as it
stands, the first header is no tar header and unpacking ends at once, so
the twin does everything else the same (payload extraction, the archive's
deletion, the runtime check). The launcher's unpacking time is the
difference; native `tar -xzf` of the same archive into a fresh directory is
the reference. What a Windows program pays per file under Wine shows in
Wine's own `xcopy` of the unpacked tree (net of an xcopy of an empty
directory): the floor of any unpacking there. Both quiet starts (-q) and starts with the progress dialog
(which follows the extraction) are measured. The runs alternate round by
round; the ratio unpack / tar is printed from the minima and from the
medians against its target, and nothing is asserted.

Usage: bench/runtime_unpack.py [BUILD_DIR]   (default: build)
Measures the 64-bit stub (KESTREL_BENCH_ARCH=x86: the 32-bit one, where the
machine runs it). Uses its own Wine prefix, BUILD_DIR/bench-unpack-wineprefix,
made afresh, and about 1.5 GB in /dev/shm while it runs.
"""
import os
import random
import shutil
import subprocess
import sys
import time
from pathlib import Path

from wine_bench import (ROOT, WINE, bench_wine, least_and_median, measured_arch, memory_drive, pack_launcher,
                        print_ratio, print_times, timed_process)

ROUNDS = 7
RATIO_TARGET = 0.8
UNUSABLE_RUNTIME_EXIT_CODE = 83
JDK_HOME = Path("/usr/lib/jvm/java-17-openjdk-amd64")
MODES = {"quiet": ["-q"], "dialog": []}
WORDS = ("runtime class method library license notice copyright native header include module "
         "java virtual machine thread object reference field value").split()


def text_bytes(size):
    """Compressible text of `size` bytes, as notices and headers are."""
    words = []
    while sum(map(len, words)) + len(words) < size:
        words.append(random.choice(WORDS))
    return " ".join(words).encode()[:size]


def make_small_file_tree(root):
    """A JDK-8-like home of 2,000+ small files."""
    layout = {"bin": 40, "lib": 160, "lib/security": 12, "lib/ext": 10, "include": 24, "include/win32": 6}
    layout.update({f"legal/java.module{index:02}": 30 for index in range(60)})
    for directory, count in layout.items():
        (root / directory).mkdir(parents=True, exist_ok=True)
        for index in range(count):
            (root / directory / f"file{index:03}.txt").write_bytes(text_bytes(random.randint(200, 16 * 1024)))


def make_archive(tree, archive):
    """`tar czf` of the tree's contents (links followed); its uncompressed size."""
    subprocess.run(["tar", "-czhf", archive, "-C", tree, *sorted(p.name for p in tree.iterdir())], check=True)
    return int(subprocess.run(f"gzip -dc '{archive}' | wc -c", shell=True, capture_output=True, text=True,
                              check=True).stdout)


def make_twin(archive, twin):
    """A file as large as the archive that is no gzip stream."""
    size = archive.stat().st_size
    with open(twin, "wb") as out:
        out.write(b"\0" * min(size, 1 << 20))
        left = size - min(size, 1 << 20)
        while left:
            chunk = min(left, 1 << 24)
            out.write(random.randbytes(chunk))
            left -= chunk


def pack(build, work, name, archive, tar_size, arch):
    """A console launcher (errors on standard error) carrying `archive` as jre.tar.gz."""
    carried = work / name / "jre.tar.gz"
    carried.parent.mkdir()
    carried.hardlink_to(archive)
    text = (f'[launcher]\ntype = "console"\n[runtime]\narchive_size = {tar_size}\n'
            f'[payload]\nfiles = ["{carried}"]\nruntime_jar = false\n')
    return pack_launcher(build, text, work / f"{name}.exe", arch)


def native_unpack(archive, target):
    shutil.rmtree(target, ignore_errors=True)
    target.mkdir()
    start = time.perf_counter()
    subprocess.run(["tar", "-xzf", archive, "-C", target], check=True)
    return time.perf_counter() - start


def wine_copy(drive, source, env):
    """Seconds Wine's xcopy takes to copy the tree `source` into a fresh directory."""
    target = drive.root / "work" / "copied"
    shutil.rmtree(target, ignore_errors=True)
    command = [WINE, "xcopy", "/e", "/i", "/q", "/y", drive.windows(source), drive.windows(target)]
    return timed_process(command, env)[0]


def launcher_run(drive, launcher, switches, env):
    shutil.rmtree(drive.temp, ignore_errors=True)
    drive.temp.mkdir()
    return timed_process([WINE, drive.windows(launcher), *switches], env, UNUSABLE_RUNTIME_EXIT_CODE)[0]


def file_sizes(root):
    """{relative path: size} of every file below `root`, links followed."""
    sizes = {}
    for directory, _, names in os.walk(root, followlinks=True):
        for name in names:
            path = Path(directory) / name
            sizes[path.relative_to(root)] = path.stat().st_size
    return sizes


def check_unpacked(drive, launcher, tree, env):
    """The launcher unpacked every file of the tree with its size."""
    launcher_run(drive, launcher, ["-q"], env)
    unpacked = next(drive.temp.glob("*_dir*")) / "jre"
    expected, found = file_sizes(tree), file_sizes(unpacked)
    if found != expected:
        sys.exit(f"the launcher unpacked {len(found)} files, the tree has {len(expected)}")


def prepare_cases(build, drive, arch):
    """{case: (tree, archive, launcher, twin launcher)}."""
    work = drive.root / "work"
    small = work / "small-tree"
    make_small_file_tree(small)
    # A copy with the links followed: a JDK may link to files its packages
    # left out (src.zip), which tar would stop at.
    jdk = work / "jdk-tree"
    shutil.copytree(JDK_HOME, jdk, symlinks=False, ignore_dangling_symlinks=True)
    cases = {}
    for index, (name, tree) in enumerate((("JDK tree", jdk), ("2,000+ small files", small))):
        archive = work / f"archive{index}.tar.gz"
        tar_size = make_archive(tree, archive)
        make_twin(archive, work / f"twin{index}.bin")
        compressed = archive.stat().st_size
        print(f"{name}: {len(file_sizes(tree))} files, {tar_size / 1e6:.0f} MB as tar, "
              f"{compressed / 1e6:.0f} MB as tar.gz")
        cases[name] = (tree, archive, pack(build, work, f"real{index}", archive, tar_size, arch),
                       pack(build, work, f"twin{index}", work / f"twin{index}.bin", tar_size, arch))
    return cases


def measure(drive, cases, env):
    empty = drive.root / "work" / "empty"
    empty.mkdir()
    times = {"xcopy of an empty directory": []}
    for name in cases:
        times[f"{name}: tar -xzf"] = []
        times[f"{name}: xcopy of the tree"] = []
        for mode in MODES:
            times[f"{name}: launcher {mode}"] = []
            times[f"{name}: twin {mode}"] = []
    for round_number in range(ROUNDS + 1):  # the first round warms up and is not counted
        seconds = {"xcopy of an empty directory": wine_copy(drive, empty, env)}
        for name, (tree, archive, launcher, twin) in cases.items():
            seconds[f"{name}: tar -xzf"] = native_unpack(archive, drive.root / "work" / "native")
            seconds[f"{name}: xcopy of the tree"] = wine_copy(drive, tree, env)
            for mode, switches in MODES.items():
                seconds[f"{name}: launcher {mode}"] = launcher_run(drive, launcher, switches, env)
                seconds[f"{name}: twin {mode}"] = launcher_run(drive, twin, switches, env)
        if round_number:
            for label, value in seconds.items():
                times[label].append(value)
    return times


def report(cases, times):
    print_times(f"runtime archive unpacking, in memory, {ROUNDS} alternating rounds:", times)
    print("ratio launcher unpacking (launcher - twin) / native tar -xzf:")
    for name in cases:
        tar_low, tar_mid = least_and_median(times[f"{name}: tar -xzf"])
        for mode in MODES:
            low, mid = least_and_median(times[f"{name}: launcher {mode}"])
            twin_low, twin_mid = least_and_median(times[f"{name}: twin {mode}"])
            print_ratio(f"{name}, {mode}", (low - twin_low) / tar_low, (mid - twin_mid) / tar_mid, RATIO_TARGET,
                        at_most=True)
    print("Wine's per-file floor: xcopy of the unpacked tree (net of an empty one) / native tar -xzf, and the "
          "launcher's quiet unpacking / that copy:")
    idle_low, idle_mid = least_and_median(times["xcopy of an empty directory"])
    for name in cases:
        tar_low, tar_mid = least_and_median(times[f"{name}: tar -xzf"])
        copy_low, copy_mid = least_and_median(times[f"{name}: xcopy of the tree"])
        low, mid = least_and_median(times[f"{name}: launcher quiet"])
        twin_low, twin_mid = least_and_median(times[f"{name}: twin quiet"])
        print(f"  {name}: xcopy / tar {(copy_low - idle_low) / tar_low:.2f} from the minima, "
              f"{(copy_mid - idle_mid) / tar_mid:.2f} from the medians; launcher / xcopy "
              f"{(low - twin_low) / (copy_low - idle_low):.2f} and {(mid - twin_mid) / (copy_mid - idle_mid):.2f}")


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
    arch = measured_arch()
    prefix = build / "bench-unpack-wineprefix"
    random.seed(17)
    with bench_wine(prefix) as env, memory_drive(prefix, env) as drive:
        cases = prepare_cases(build, drive, arch)
        times = measure(drive, cases, env)
        for tree, _, launcher, _ in cases.values():
            check_unpacked(drive, launcher, tree, env)
    print(f"stub: {arch} (the 32-bit stub only where the machine runs 32-bit programs)")
    report(cases, times)


if __name__ == "__main__":
    main()
