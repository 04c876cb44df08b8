#!/usr/bin/env python3
"""Start-up on the real VM: a quiet kestrel launcher against a bare Windows
program that loads the same jvm.dll and calls the same main class.

Both start the sample application (samples/hello, built by make) under Wine
on the runtime home of tools/realjvm; the time measured is from starting the
process to the application's first line of output. The launcher's version cache is warmed
first, and both sides are warmed once. The 20 runs of each side alternate in
one run of this script; it prints the medians and their ratio and asserts
nothing.

The launcher is a GUI program and the bare program a console one; Wine
starts the two kinds at different costs. The floor of each kind, an empty
program (bench/empty_program.c), is measured the same way, to the end of the
process, and the ratio is also shown with the launcher's floor replaced by
the bare program's.

Usage: bench/real_vm_startup.py [BUILD_DIR]   (default: build)
Uses its own Wine prefix, BUILD_DIR/bench-wineprefix, made afresh.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from wine_bench import ROOT, make_prefix, pack_launcher, windows_path

RUNS = 20
MAIN_CLASS = "com.example.hello.Hello"
FIRST_LINE = b"hello from the sample application\n"

# A launcher whose class path names the launcher's Java side and the
# sample's jar, finding the runtime through JAVA_HOME; it has no payload.
PROJECT = """
[java]
main_class = "{main_class}"
class_path = [{{ archive = '{runtime_jar}' }}, {{ archive = '{jar}' }}]
search_sequence = [{{ env = "JAVA_HOME" }}]
[payload]
runtime_jar = false
"""


def build_empty_programs(work):
    """{kind: empty program} of both kinds."""
    source = ROOT / "bench" / "empty_program.c"
    programs = {"console": work / "empty-console.exe", "GUI": work / "empty-gui.exe"}
    subprocess.run(["i686-w64-mingw32-gcc", "-O2", "-o", programs["console"], source], check=True)
    subprocess.run(["i686-w64-mingw32-gcc", "-O2", "-mwindows", "-DGUI_PROGRAM", "-o", programs["GUI"],
                    source, "-lcomctl32"], check=True)
    return programs


def time_to_end(command, env):
    start = time.perf_counter()
    subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def time_to_first_line(command, env):
    """Seconds from starting `command` to its first line of output."""
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    line = process.stdout.readline()
    elapsed = time.perf_counter() - start
    process.wait()
    if line != FIRST_LINE:
        sys.exit(f"unexpected first line {line!r} from {command}")
    return elapsed


def measured_commands(build, work):
    """{name: (measure, command)} of the four programs timed."""
    home = build / "realjvm" / "home"
    jar = build / "samples" / "hello.jar"
    project = PROJECT.format(main_class=MAIN_CLASS, jar=windows_path(jar),
                             runtime_jar=windows_path(build / "java" / "kestrel-runtime.jar"))
    launcher = pack_launcher(build, project, work / "bench.exe")
    empty = build_empty_programs(work)
    return {
        "launcher (-q)": (time_to_first_line, ["wine", launcher, "-q"]),
        "bare program": (time_to_first_line, [
            "wine", build / "realjvm" / "bare-launch.exe",
            windows_path(home / "bin" / "server" / "jvm.dll"), windows_path(jar), MAIN_CLASS]),
        "empty GUI": (time_to_end, ["wine", empty["GUI"]]),
        "empty console": (time_to_end, ["wine", empty["console"]]),
    }


def measure(commands, env):
    """{name: [seconds]}: one warm-up run each (it fills the launcher's
    version cache), then RUNS rounds with every command once."""
    times = {name: [] for name in commands}
    for timer, command in commands.values():
        timer(command, env)
    for _ in range(RUNS):
        for name, (timer, command) in commands.items():
            times[name].append(timer(command, env))
    return times


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
    prefix = build / "bench-wineprefix"
    make_prefix(prefix)
    env = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all", LANG="C.UTF-8",
               JAVA_HOME=windows_path(build / "realjvm" / "home"))
    with tempfile.TemporaryDirectory() as temp:
        times = measure(measured_commands(build, Path(temp)), env)
    subprocess.run(["wineserver", "-k"], env=env)
    report(times)


def report(times):
    medians = {name: statistics.median(values) for name, values in times.items()}
    print(f"start-up under Wine, median of {RUNS} runs each (to the first line of output;")
    print("the empty programs to their end):")
    for name, values in times.items():
        print(f"  {name:14} {medians[name] * 1000:7.1f} ms   (min {min(values) * 1000:.1f}, "
              f"max {max(values) * 1000:.1f})")
    launcher, bare = medians["launcher (-q)"], medians["bare program"]
    print(f"ratio launcher / bare: {launcher / bare:.3f}   (target <= 1.15)")
    floor_difference = medians["empty GUI"] - medians["empty console"]
    print(f"ratio with the GUI floor replaced by the console floor: "
          f"{(launcher - floor_difference) / bare:.3f}")


if __name__ == "__main__":
    main()
