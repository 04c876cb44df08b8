#!/usr/bin/env python3
"""Checks the stub's layering (docs/architecture.md): a unit includes only
units of its own folder or of folders below it, the portable core includes no
Windows header, and no configuration key is written as a number outside
core/ConfigKeys.h. Prints each violation and exits 1 when there is one."""
import re
import sys
from pathlib import Path

STUB = Path(__file__).resolve().parents[1] / "stub"
# Bottom to top; a folder may use the ones before it.
LAYERS = ["core", "platform", "diagnostics", "config", "payload", "runtime",
          "vm", "provisioning", "ui", "launch"]
WINDOWS_HEADERS = re.compile(r'#\s*include\s*<(windows|winbase|winreg|winuser|commctrl|'
                             r'commdlg|shellapi|shlobj|wininet|process|io|direct)\.h>', re.I)
LOCAL_INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')
# Accessor calls whose first argument is a key or message number.
KEY_CALL = re.compile(r'\b(Config(?:String|WString|Int|Text|WText)|ShowConfiguredError|'
                      r'FatalConfiguredError|FatalWideError|ConfiguredText|ConfiguredWText)'
                      r'\s*\(\s*\d')


def units():
    for path in sorted(STUB.rglob("*")):
        if path.suffix in (".h", ".cpp") and path.parent.name in LAYERS:
            yield path


def main():
    owner = {path.name: path.parent.name for path in units()}
    problems = []
    for path in units():
        folder = path.parent.name
        rank = LAYERS.index(folder)
        text = path.read_text(encoding="utf-8", errors="replace")
        where = path.relative_to(STUB.parent)
        for name in LOCAL_INCLUDE.findall(text):
            used = owner.get(Path(name).name)
            if used and LAYERS.index(used) > rank:
                problems.append(f"{where}: includes {name} from {used}/, a layer above {folder}/")
        if folder == "core" and WINDOWS_HEADERS.search(text):
            problems.append(f"{where}: the portable core includes a Windows header")
        if path.name != "ConfigKeys.h":
            for number, line in enumerate(text.splitlines(), 1):
                if KEY_CALL.search(line):
                    problems.append(f"{where}:{number}: numeric key: {line.strip()}")
    for problem in problems:
        print(problem)
    print(f"layers: {len(problems)} problem(s) in {len(owner)} units")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
