#!/usr/bin/env python3
"""Payload extraction against a plain file copy, both under Wine.

A quiet console launcher carrying a 200 MB payload of eight files extracts
it into its temporary directory and ends with "no jre found"; the plain copy
is cmd's COPY of the same eight files into a fresh directory. Each side's
time is taken net of its program's own start (a launcher without payload,
and cmd doing nothing), so both measure moving the bytes. The runs alternate
in one run of this script on the same machine; it prints the medians, the
throughputs and their ratio, and asserts nothing.

Peak memory: the launcher process's peak resident set (the Wine process's
maxrss) for payloads of 0, 20 and 200 MB; it should not grow with the payload.

Usage: bench/payload_extraction.py [BUILD_DIR]   (default: build)
Uses its own Wine prefix, BUILD_DIR/bench-payload-wineprefix, made afresh,
and a work directory below BUILD_DIR (about 650 MB while it runs).
"""
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
RUNS = 5
FILES = 8
MB = 1 << 20


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def make_prefix(prefix):
    subprocess.run(["bash", "-c", 'source tools/wine-env.sh && fresh_wine_prefix "$1"', "-", prefix],
                   cwd=ROOT, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_files(directory, total):
    directory.mkdir(parents=True)
    names = []
    for index in range(FILES):
        name = f"part{index}.bin"
        with open(directory / name, "wb") as out:
            left = total // FILES
            while left:
                chunk = min(left, 4 * MB)
                out.write(os.urandom(chunk))
                left -= chunk
        names.append(name)
    return names


def pack_launcher(build, work, name, files):
    project = work / f"{name}.toml"
    listed = ", ".join(f'"{f}"' for f in files)
    project.write_text(f'[launcher]\ntype = "console"\n[payload]\nfiles = [{listed}]\nruntime_jar = false\n')
    launcher = work / f"{name}.exe"
    subprocess.run([build / "host" / "kestrel-pack", "build", project, "-o", launcher,
                    "--stub", build / "stub" / "kestrel-stub.exe"], check=True, stdout=subprocess.DEVNULL)
    return launcher


def run(command, env, expect):
    """Seconds the command takes, and the peak resident set of its process in MB."""
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != expect:
        sys.exit(f"{command} ended with {process.returncode}, not {expect}")
    return elapsed, usage.ru_maxrss / 1024


def clear(directory):
    shutil.rmtree(directory, ignore_errors=True)
    directory.mkdir()


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
    prefix = build / "bench-payload-wineprefix"
    work = build / "bench-payload"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    make_prefix(prefix)
    env = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all", LANG="C.UTF-8")
    temp = prefix / "drive_c" / "users" / os.environ.get("USER", "root") / "Temp"
    try:
        big = make_files(work / "200", 200 * MB)
        make_files(work / "20", 20 * MB)
        launchers = {size: pack_launcher(build, work / str(size), f"bench{size}", big) for size in (20, 200)}
        launchers[0] = pack_launcher(build, work, "bench0", [])
        copy_target = work / "copy"
        copy = ["wine", "cmd", "/c", "copy", "/b", "/y", windows_path(work / "200") + "\\*.bin",
                windows_path(copy_target) + "\\"]
        idle = ["wine", "cmd", "/c", "rem"]

        times = {"extract": [], "launcher start": [], "copy": [], "cmd start": []}
        peaks = {0: [], 20: [], 200: []}
        for repeat in range(RUNS + 1):  # the first round warms the caches and is not counted
            clear(temp)
            peaks[20].append(run(["wine", launchers[20], "-q"], env, 83)[1])
            clear(temp)
            seconds, peak = run(["wine", launchers[200], "-q"], env, 83)
            peaks[200].append(peak)
            clear(copy_target)
            copy_seconds, _ = run(copy, env, 0)
            start_seconds, peak0 = run(["wine", launchers[0], "-q"], env, 83)
            peaks[0].append(peak0)
            idle_seconds, _ = run(idle, env, 0)
            if repeat:
                times["extract"].append(seconds)
                times["copy"].append(copy_seconds)
                times["launcher start"].append(start_seconds)
                times["cmd start"].append(idle_seconds)
        # Both sides wrote the same bytes.
        extracted = next(temp.iterdir())
        for name in big:
            assert (extracted / name).stat().st_size == (copy_target / name).stat().st_size
    finally:
        subprocess.run(["wineserver", "-k"], env=env)
        shutil.rmtree(work, ignore_errors=True)

    median = {name: statistics.median(values) for name, values in times.items()}
    extract = median["extract"] - median["launcher start"]
    copied = median["copy"] - median["cmd start"]
    print(f"200 MB in {FILES} files, median of {RUNS} runs each (seconds):")
    for name, values in times.items():
        print(f"  {name:15} {median[name]:7.3f}   (min {min(values):.3f}, max {max(values):.3f})")
    print(f"  extraction net  {extract:7.3f}   {200 / extract:7.1f} MB/s")
    print(f"  plain copy net  {copied:7.3f}   {200 / copied:7.1f} MB/s")
    print(f"  throughput ratio extraction / copy: {copied / extract:.2f}   (target >= 0.8)")
    print("peak resident set of the launcher process (MB, max over runs):")
    for size, values in peaks.items():
        print(f"  payload {size:3} MB: {max(values):6.1f}")


if __name__ == "__main__":
    main()
