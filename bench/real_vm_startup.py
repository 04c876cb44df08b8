#!/usr/bin/env python3
"""Start-up on the real VM to the application's first line: the launcher
against the floor, a bare GUI program that initialises the common controls,
loads the same jvm.dll and calls the same main class (bench/floor_program.c).

Every program starts the sample application (samples/hello, built by make)
under Wine on the runtime home of tools/realjvm; the time measured is from
starting the process to the application's first line of output:
- the floor, and the floor calling the launcher's Java-side entry class
  (with its jar on the class path) instead of the main class directly: the
  part of the launcher's start that is Java's;
- the launcher, quiet (-q), finding the runtime through JAVA_HOME with its
  version cache warm: the start the floor is the target of;
- the same start with the decision trace on (KESTREL_LAUNCHER_DEBUG naming
  a file the lines are appended to): off, the trace must cost nothing, so
  the quiet start's ratio is also printed against the traced one;
- the same launcher with its progress dialog (no -q);
- a launcher with three candidate runtimes (two test doubles below the
  minimum version, then the real home), quiet, with its version cache
  emptied before every start (cold: three version probes) and warm.
Every command runs once to warm up, then the rounds alternate the commands.
The launcher / floor ratios are printed from the minima and from the
medians against their targets; nothing is asserted. Next to the times, the
processor time each process used to its end: it does not grow while a
process waits for a processor, so on a busy machine it shows the work.

Usage: bench/real_vm_startup.py [BUILD_DIR]   (default: build)
Measures the 64-bit stub on the 64-bit home (KESTREL_BENCH_ARCH=x86: the
32-bit pair, where the machine runs 32-bit programs). Uses its own Wine
prefix, BUILD_DIR/bench-wineprefix, made afresh.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from wine_bench import (MINGW_CC, ROOT, WINE, bench_wine, least_and_median, measured_arch, pack_launcher,
                        print_ratio, print_times, windows_path)

ROUNDS = 20
QUIET_TARGET = 1.05
MAIN_CLASS = "com.example.hello.Hello"
# The launcher's Java-side entry class, which starts MAIN_CLASS.
ENTRY_CLASS = "com.kestrel.runtime.WinLauncher"
FIRST_LINE = b"hello from the sample application\n"
LAUNCHER_KEY = r"HKCU\Software\larkspur\kestrel"
CACHE_KEY = LAUNCHER_KEY + r"\jvms"
# Doubles of runtimes below the minimum version: a cold search probes them first.
OLD_RUNTIMES = (("old-a", "1.5.0_22"), ("old-b", "1.6.0_45"))

PROJECT = """
[java]
main_class = "{main_class}"
min_version = "1.8"
class_path = [{{ archive = '{runtime_jar}' }}, {{ archive = '{jar}' }}]
search_sequence = [{sources}]
[payload]
runtime_jar = false
"""


def real_home(build, arch):
    return build / "realjvm" / ("home64" if arch == "x64" else "home")


def build_floor(build, arch, work):
    program = work / "floor.exe"
    subprocess.run([MINGW_CC[arch], "-O2", "-mwindows", "-I", ROOT / "tools" / "realjvm",
                    "-I", ROOT / "stub" / "vm" / "jni", "-I", "/usr/lib/jvm/default-java/include",
                    "-o", program, ROOT / "bench" / "floor_program.c", "-lcomctl32"], check=True)
    return program


def make_old_runtime(build, arch, home, version):
    """A runtime directory of the test doubles whose probe answers `version`."""
    doubles = build / ("wintest64" if arch == "x64" else "wintest") / "doubles"
    (home / "bin" / "server").mkdir(parents=True)
    shutil.copy(doubles / "java.exe", home / "bin" / "java.exe")
    shutil.copy(doubles / "jvm.dll", home / "bin" / "server" / "jvm.dll")
    (home / "bin" / "java.cfg").write_text(f'stderr java version "{version}"\n')


def launcher(build, arch, work, name, sources):
    jar = build / "samples" / "hello.jar"
    project = PROJECT.format(main_class=MAIN_CLASS, jar=windows_path(jar), sources=sources,
                             runtime_jar=windows_path(build / "java" / "kestrel-runtime.jar"))
    return pack_launcher(build, project, work / f"{name}.exe", arch)


def time_to_first_line(command, env):
    """Seconds from starting `command` to its first line of output, and the
    processor time (user and system) its process used to its end."""
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    line = process.stdout.readline()
    elapsed = time.perf_counter() - start
    # The rest of the output fits the pipe; Wine's helper processes may hold
    # the pipe open after the program has ended, so it is not read to its end.
    _, _, usage = os.wait4(process.pid, 0)
    process.returncode = 0
    process.stdout.close()
    if line != FIRST_LINE:
        sys.exit(f"unexpected first line {line!r} from {command}")
    return elapsed, usage.ru_utime + usage.ru_stime


def measured_commands(build, arch, work, env):
    """{name: run()} of every start timed."""
    home = real_home(build, arch)
    for name, version in OLD_RUNTIMES:
        make_old_runtime(build, arch, work / name, version)
    three = ", ".join(f"{{ directory = '{windows_path(work / name)}' }}" for name, _ in OLD_RUNTIMES)
    three += f", {{ directory = '{windows_path(home)}' }}"
    single = launcher(build, arch, work, "single", '{ env = "JAVA_HOME" }')
    candidates = launcher(build, arch, work, "three", three)
    floor = [WINE, build_floor(build, arch, work), windows_path(home / "bin" / "server" / "jvm.dll")]
    jar = windows_path(build / "samples" / "hello.jar")
    both_jars = windows_path(build / "java" / "kestrel-runtime.jar") + ";" + jar

    traced_env = dict(env, KESTREL_LAUNCHER_DEBUG=windows_path(work / "trace.log"))

    def cold_start():
        subprocess.run([WINE, "reg", "delete", CACHE_KEY, "/f"], env=env, capture_output=True)
        return time_to_first_line([WINE, candidates, "-q"], env)

    def dialog_start():
        # Every start that searched for a runtime sets InstallStarted, and a
        # start with dialogs then first asks whether to pick one by hand.
        subprocess.run([WINE, "reg", "delete", LAUNCHER_KEY, "/v", "InstallStarted", "/f"], env=env,
                       capture_output=True)
        return time_to_first_line([WINE, single], env)

    return {
        "floor": lambda: time_to_first_line(floor + [jar, MAIN_CLASS], env),
        "floor through the Java side": lambda: time_to_first_line(
            floor + [both_jars, ENTRY_CLASS, "false", MAIN_CLASS, "", "", "false"], env),
        "launcher quiet (-q)": lambda: time_to_first_line([WINE, single, "-q"], env),
        "launcher quiet, trace on": lambda: time_to_first_line([WINE, single, "-q"], traced_env),
        "launcher with dialog": dialog_start,
        "three candidates, cold (-q)": cold_start,
        "three candidates, warm (-q)": lambda: time_to_first_line([WINE, candidates, "-q"], env),
    }


def measure(commands):
    """{name: [seconds to the first line]} and {name: [processor seconds]}."""
    times = {name: [] for name in commands}
    processor = {name: [] for name in commands}
    for run in commands.values():
        run()
    for _ in range(ROUNDS):
        for name, run in commands.items():
            elapsed, used = run()
            times[name].append(elapsed)
            processor[name].append(used)
    return times, processor


def print_ratios(title, values):
    """Each start against the floor; the quiet start against its target."""
    floor_low, floor_mid = least_and_median(values["floor"])
    print(title)
    for name in values:
        if name == "floor":
            continue
        low, mid = least_and_median(values[name])
        if name == "launcher quiet (-q)":
            print_ratio(name, low / floor_low, mid / floor_mid, QUIET_TARGET, at_most=True)
        else:
            print(f"  {name}: {low / floor_low:.2f} from the minima, {mid / floor_mid:.2f} from the medians")
    quiet_low, quiet_mid = least_and_median(values["launcher quiet (-q)"])
    traced_low, traced_mid = least_and_median(values["launcher quiet, trace on"])
    print(f"  trace off / trace on, quiet: {quiet_low / traced_low:.2f} from the minima, "
          f"{quiet_mid / traced_mid:.2f} from the medians")


def report(arch, times, processor):
    print(f"stub: {arch} on the real {'64' if arch == 'x64' else '32'}-bit VM (the 32-bit pair only where the "
          f"machine runs 32-bit programs)")
    print_times(f"start-up under Wine to the application's first line, {ROUNDS} alternating rounds:", times, "ms")
    print_ratios("ratio launcher / floor, time to the first line:", times)
    # Processor time does not grow while a process waits for a processor, so
    # on a busy machine it shows the work itself (Wine's server not counted).
    print_times("processor time of the process to its end (user + system):", processor, "ms")
    print_ratios("ratio launcher / floor, processor time:", processor)


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
    arch = measured_arch()
    prefix = build / "bench-wineprefix"
    home = windows_path(real_home(build, arch))
    with bench_wine(prefix, JAVA_HOME=home) as env, tempfile.TemporaryDirectory() as temp:
        times, processor = measure(measured_commands(build, arch, Path(temp), env))
        trace = Path(temp) / "trace.log"
        if not trace.exists() or b"entry: calling main" not in trace.read_bytes():
            sys.exit("the traced starts wrote no trace of the VM start")
    report(arch, times, processor)


if __name__ == "__main__":
    main()
