// RuntimeHome.h — the files of a Java runtime's home directory that the
// search looks at: its executable, shared by every source that names a home,
// and its "release" file, which gives the version without running anything.
#pragma once

#include <cstddef>

// home + "\jre\bin\java.exe" when that exists (a development kit with its
// embedded runtime), otherwise home + "\bin\java.exe", whose existence is
// left to the candidate's judgement. `home` is used as given. False when the
// path does not fit `capacity`.
bool JavaExeFromHome(const char* home, char* executable, size_t capacity);

// The home of an executable "<home>\bin\java.exe" (its full, lower-case
// form); false for an executable anywhere else.
bool HomeOfExecutable(const char* executable, char* home, size_t capacity);

// The version of the JAVA_VERSION line in home + "\release"; false when
// there is no such file, or it cannot be read, or it is no sound release
// file (ParseReleaseVersion).
bool ReadReleaseVersion(const char* home, char* version, size_t capacity);
