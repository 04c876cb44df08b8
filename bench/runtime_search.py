#!/usr/bin/env python3
"""Runtime search: a cold search (empty version cache) against a warm one
(every candidate cached), with three candidate runtimes made of the test
doubles (tests/doubles): the first two are below the minimum version, the
third is accepted. Without release files a cold search probes three times
and a warm one none; with a release file in each home (JAVA_VERSION="...")
no search probes at all.

Times a quiet launcher from process start to exit (Wine's own start
included), median of the runs of each kind; counts the probe processes from
the doubles' logs. Prints figures, asserts nothing.

Usage: bench/runtime_search.py [BUILD_DIR]   (default: build)
Measures the 64-bit stub with the 64-bit doubles (KESTREL_BENCH_ARCH=x86: the
32-bit ones, where the machine runs them).
Uses its own Wine prefix, BUILD_DIR/bench-search-wineprefix, made afresh.
"""
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from wine_bench import ROOT, WINE, bench_wine, measured_arch, pack_launcher, windows_path

COLD_RUNS = 10
WARM_RUNS = 20
CANDIDATES = (("a", "1.5.0_22"), ("b", "1.6.0_45"), ("c", "1.8.0_392"))
CACHE_KEY = r"HKCU\Software\larkspur\kestrel\jvms"


def make_runtime(doubles, home, version, release):
    (home / "bin" / "client").mkdir(parents=True)
    shutil.copy(doubles / "java.exe", home / "bin" / "java.exe")
    shutil.copy(doubles / "jvm.dll", home / "bin" / "client" / "jvm.dll")
    (home / "bin" / "java.cfg").write_text(f'stderr java version "{version}"\n')
    if release:
        (home / "release").write_text(f'IMPLEMENTOR="Kestrel"\nJAVA_VERSION="{version}"\nOS_NAME="Windows"\n')


def pack(build, work, arch):
    sequence = ";".join("A" + windows_path(work / name) for name, _ in CANDIDATES)
    project = f'[java]\nmin_version = "1.8"\n[keys]\n"128" = \'{sequence}\'\n'
    return pack_launcher(build, project, work / "bench.exe", arch)


def probe_count(work):
    logs = (work / name / "bin" / "java.log" for name, _ in CANDIDATES)
    return sum(len(log.read_text().splitlines()) for log in logs if log.exists())


def timed_run(launcher, env):
    start = time.perf_counter()
    result = subprocess.run([WINE, launcher, "-q"], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit(f"the launcher found no runtime (exit code {result.returncode})")
    return elapsed


def measure(build, env, arch, release):
    """Cold and warm start times and probe counts of one set of runtimes."""
    with tempfile.TemporaryDirectory() as temp:
        work = Path(temp)
        for name, version in CANDIDATES:
            make_runtime(build / ("wintest64" if arch == "x64" else "wintest") / "doubles", work / name, version,
                         release)
        launcher = pack(build, work, arch)
        timed_run(launcher, env)  # warms Wine and the file cache
        cold, cold_probes = [], set()
        for _ in range(COLD_RUNS):
            subprocess.run([WINE, "reg", "delete", CACHE_KEY, "/f"], env=env, capture_output=True)
            before = probe_count(work)
            cold.append(timed_run(launcher, env))
            cold_probes.add(probe_count(work) - before)
        before = probe_count(work)
        warm = [timed_run(launcher, env) for _ in range(WARM_RUNS)]
        return cold, cold_probes, warm, probe_count(work) - before


def report(title, cold, cold_probes, warm, warm_probes):
    print(f"{title}:")
    cold_probe_text = " or ".join(map(str, sorted(cold_probes))) + " per start"
    for name, values, runs, probes in (("cold", cold, COLD_RUNS, cold_probe_text),
                                       ("warm", warm, WARM_RUNS, f"{warm_probes} in all {WARM_RUNS} starts")):
        print(f"  {name}: median {statistics.median(values) * 1000:7.1f} ms of {runs} starts "
              f"(min {min(values) * 1000:.1f}, max {max(values) * 1000:.1f}); probe processes: {probes}")
    print(f"  cold - warm: {(statistics.median(cold) - statistics.median(warm)) * 1000:.1f} ms; "
          f"cold / warm: {statistics.median(cold) / statistics.median(warm):.2f}")


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
    arch = measured_arch()
    with bench_wine(build / "bench-search-wineprefix") as env:
        results = {release: measure(build, env, arch, release) for release in (False, True)}
    print(f"stub: {arch}")
    print(f"quiet start with {len(CANDIDATES)} candidates (two below the minimum, the third accepted)")
    report("without release files", *results[False])
    report("with release files", *results[True])


if __name__ == "__main__":
    main()
