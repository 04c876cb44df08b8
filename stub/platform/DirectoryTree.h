// DirectoryTree.h — directories by wide path beyond the 260-character
// limit: the extended-length form of a path, creating a directory with its
// missing parents, and removing a whole tree without following links.
#pragma once

#include <windows.h>

#include <cstddef>

// Writes the extended-length form of the full path `path` ("\\?\C:\x",
// "\\?\UNC\server\share\x"; a path already in that form stays) to `out`.
// False when it does not fit `capacity` units.
bool ExtendedLengthPath(const wchar_t* path, wchar_t* out, size_t capacity);

// Creates the directory `path` (extended-length form) and every missing one
// above it, starting with the component that begins at `firstNew` (the
// directories before it must exist). True when `path` is a directory
// afterwards; false when a component is a file or a link, or cannot be made.
bool CreateDirectoryTree(const wchar_t* path, size_t firstNew);

// Deletes the directory `path` (extended-length form) with everything in
// it, without recursion, so that any depth is fine. A link to a directory is
// removed as a link, never followed. True when nothing is left (also when
// there was nothing).
bool RemoveTree(const wchar_t* path);
