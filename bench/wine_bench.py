"""Helpers of the benchmarks that run launchers under Wine: Windows paths,
a fresh Wine prefix of their own, and packing a launcher."""
import subprocess
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]


def windows_path(path):
    """The Wine (Windows) form of a Linux path."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def make_prefix(prefix):
    """A fresh Wine prefix at `prefix` with a persistent wineserver, as the
    tests use (tools/wine-env.sh)."""
    subprocess.run(["bash", "-c", 'source tools/wine-env.sh && fresh_wine_prefix "$1"', "-", prefix],
                   cwd=ROOT, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def pack_launcher(build, project_text, launcher):
    """Builds `launcher` from the project text with the build's packer and stub."""
    project = launcher.with_suffix(".toml")
    project.write_text(project_text)
    subprocess.run([build / "host" / "kestrel-pack", "build", project, "-o", launcher,
                    "--stub", build / "stub" / "kestrel-stub.exe"], check=True, stdout=subprocess.DEVNULL)
    return launcher
