// RuntimeHome.h — the files of a Java runtime's home directory that the
// search looks at, shared by every source that names a home.
#pragma once

#include <cstddef>

// home + "\jre\bin\java.exe" when that exists (a development kit with its
// embedded runtime), otherwise home + "\bin\java.exe", whose existence is
// left to the candidate's judgement. `home` is used as given. False when the
// path does not fit `capacity`.
bool JavaExeFromHome(const char* home, char* executable, size_t capacity);
