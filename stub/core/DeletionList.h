// DeletionList.h — the text form of the deletion lists: entries "path;" one
// after another. No Win32 calls.
#pragma once

#include <cstddef>

// Appends "path;" to the NUL-terminated `list` held in a buffer of
// `capacity` bytes, unless the result (with its terminator) would not fit or
// the path is empty or contains ';' (it could not be split back out). The
// list is then left unchanged and false returned: a reader of the list must
// always find whole entries, so an entry is never cut.
bool AppendListEntry(char* list, size_t capacity, const char* path);
