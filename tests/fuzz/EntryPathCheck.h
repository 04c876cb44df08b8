// EntryPathCheck.h — the property every path handed to an extraction target
// must have, checked component by component without the code under test's
// own rules: relative, '\'-joined, no empty, "." or ".." component, nothing
// Windows would trim, no drive or stream, no device.
#pragma once

#include <cstring>
#include <string>

#include "TarEntryPath.h"

inline bool IsCleanComponent(const std::string& component) {
    if (component.empty() || component == "." || component == "..") return false;
    if (component.back() == '.' || component.back() == ' ') return false;
    if (component.find_first_of(":/") != std::string::npos) return false;
    return !IsDeviceName(component.data(), component.size());
}

inline bool IsCleanEntryPath(const char* path) {
    if (*path == '\0') return true;  // the destination itself
    std::string rest = path;
    for (size_t start = 0;;) {
        size_t end = rest.find('\\', start);
        if (!IsCleanComponent(rest.substr(start, end == std::string::npos ? std::string::npos : end - start)))
            return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}
