// InstalledRuntimes.h — the registry source of the runtime search: runtimes
// installed under "SOFTWARE\JavaSoft\" weighed against the runtimes a user
// located by hand.
#pragma once

// The installed runtime (by "CurrentVersion", else the greatest matching
// version key), and the best located runtime; the installed one wins only
// with a greater version. `executable` is TextBufferSize bytes.
bool FindRegistryRuntime(const char* minimum, const char* maximum, char* executable);
