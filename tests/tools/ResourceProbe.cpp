// ResourceProbe.cpp — test helper: reads the resources of an executable file
// the way Windows tools do (the version library for the version sheet, the
// resource loader for the icon group and the manifest) and prints them.
//
//   resource-probe FILE
//
// Output (UTF-8), one line each:
//   file_version <a.b.c.d>            from the fixed part
//   product_version <a.b.c.d>
//   translation <language hex4> <code page hex4>
//   string <key> <text>               each standard text the file has
//   icon <width> <height> <bits> <bytes> <fnv1a32 of the image data hex8>
//   manifest <bytes> <fnv1a32 hex8>
// Version lines are missing when the file has no version resource
// (GetFileVersionInfoSize fails); exit codes: 0 read, 2 the file cannot be
// loaded as a resource file.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t* const kTextKeys[] = {L"CompanyName",      L"FileDescription", L"FileVersion",
                                    L"InternalName",     L"LegalCopyright",  L"OriginalFilename",
                                    L"ProductName",      L"ProductVersion",  L"Comments"};

std::string Utf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    return out;
}

unsigned long Fnv1a(const void* data, DWORD size) {
    unsigned long hash = 2166136261u;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (DWORD i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash & 0xFFFFFFFFu;
}

void PrintVersion(const wchar_t* file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0) return;
    std::string data(size, '\0');
    if (!GetFileVersionInfoW(file, 0, size, &data[0])) return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(&data[0], L"\\", reinterpret_cast<void**>(&fixed), &length) && length >= sizeof *fixed) {
        std::printf("file_version %lu.%lu.%lu.%lu\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                    HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        std::printf("product_version %lu.%lu.%lu.%lu\n", HIWORD(fixed->dwProductVersionMS),
                    LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                    LOWORD(fixed->dwProductVersionLS));
    }
    WORD* translation = nullptr;
    if (!VerQueryValueW(&data[0], L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 4) {
        return;
    }
    std::printf("translation %04x %04x\n", translation[0], translation[1]);
    for (const wchar_t* key : kTextKeys) {
        wchar_t path[64];
        swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], key);
        wchar_t* text = nullptr;
        if (VerQueryValueW(&data[0], path, reinterpret_cast<void**>(&text), &length) && text != nullptr) {
            std::printf("string %s %s\n", Utf8(key).c_str(), Utf8(text).c_str());
        }
    }
}

// The images of icon group MAINICO: its 14-byte entries end in the number
// of each image's icon resource.
void PrintIcons(HMODULE module) {
    HRSRC group = FindResourceW(module, L"MAINICO", MAKEINTRESOURCEW(14));
    if (group == nullptr) return;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    const WORD count = *reinterpret_cast<const WORD*>(data + 4);
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = data + 6 + 14 * i;
        const WORD bits = *reinterpret_cast<const WORD*>(entry + 6);
        const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
        HRSRC icon = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));
        if (icon == nullptr) {
            std::printf("icon %d %d %u missing\n", entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256, bits);
            continue;
        }
        const DWORD size = SizeofResource(module, icon);
        std::printf("icon %d %d %u %lu %08lx\n", entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256, bits, size,
                    Fnv1a(LockResource(LoadResource(module, icon)), size));
    }
}

void PrintManifest(HMODULE module) {
    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (manifest == nullptr) return;
    const DWORD size = SizeofResource(module, manifest);
    std::printf("manifest %lu %08lx\n", size, Fnv1a(LockResource(LoadResource(module, manifest)), size));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resource-probe FILE\n");
        return 2;
    }
    PrintVersion(argv[1]);
    HMODULE module = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %s as a resource file: error %lu\n", Utf8(argv[1]).c_str(), GetLastError());
        return 2;
    }
    PrintIcons(module);
    PrintManifest(module);
    return 0;
}
