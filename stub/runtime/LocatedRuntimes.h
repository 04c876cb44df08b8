// LocatedRuntimes.h — the registry list of Java executables a user picked by
// hand, shared by all launchers on the machine, and the choice of the best
// of them by version.
#pragma once

// Adds `executable` (as chosen, case kept) to the list: under
// HKEY_LOCAL_MACHINE when the key can be created there, else per user.
void RememberLocatedRuntime(const char* executable);

// The remembered runtime with the greatest version that passes the bounds,
// looked for per user and per machine; on a tie between the two hives the
// machine's entry wins. `executable` and `version` are TextBufferSize bytes.
bool FindLocatedRuntime(const char* minimum, const char* maximum, char* executable, char* version);
