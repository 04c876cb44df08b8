// Formatting layouts, records and payload lists for `check-stub` and
// `inspect`. Narrow records are shown decoded from Windows-1252, wide ones
// from UTF-16LE, both as UTF-8.
#include "report.h"

#include <cstdio>
#include <functional>

#include "cp1252.h"
#include "resource_report.h"
#include "settings_schema.h"
#include "utf.h"

namespace kestrel {
namespace {

std::string escaped(char32_t c) {
    switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            break;
    }
    std::string text;
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        char code[12];
        std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
        text = code;
    } else {
        append_utf8(text, c);
    }
    return text;
}

void print_records(std::ostream& out, const char* kind, const std::map<std::int32_t, std::string>& records, bool wide,
                   const std::function<std::string(const std::string&)>& to_utf8) {
    out << kind << " records: " << records.size() << '\n';
    for (const auto& [key, value] : records) {
        const std::string name = describe_key(key, wide);
        out << "  " << key << (name.empty() ? "" : " " + name) << " = " << quote_for_display(to_utf8(value)) << '\n';
    }
}

}  // namespace

std::string quote_for_display(std::string_view utf8_text) {
    std::string text = "\"";
    for (char32_t c : decode_utf8(utf8_text)) text += escaped(c);
    return text + "\"";
}

void print_stub_layout(std::ostream& out, const StubLayout& layout) {
    out << "architecture: " << architecture_name(layout.architecture) << '\n';
    out << "sections:\n";
    for (const PeSection& section : layout.sections) {
        char line[96];
        std::snprintf(line, sizeof line, "  %-8s raw data at 0x%08X, 0x%08X bytes\n", section.name.c_str(),
                      section.raw_offset, section.raw_size);
        out << line;
    }
    out << "file size: " << layout.file_size << " bytes\n";
}

void print_launcher_contents(std::ostream& out, const LauncherContents& contents) {
    out << "layout: ok, " << architecture_name(contents.layout.architecture) << ", configuration block at offset "
        << contents.layout.block_offset << '\n';
    print_resources(out, contents.resources);
    print_records(out, "narrow", contents.parsed.block.narrow, false, cp1252_to_utf8);
    print_records(out, "wide", contents.parsed.block.wide, true, utf16le_to_utf8);
    out << "payload files: " << contents.payload.size() << '\n';
    for (const PayloadEntry& entry : contents.payload) {
        out << "  " << quote_for_display(cp1252_to_utf8(entry.name)) << ' ' << entry.size << " bytes\n";
    }
    if (contents.certificates.size == 0) {
        out << "signature: none\n";
    } else {
        out << "signature: certificate table at offset " << contents.certificates.address << " ("
            << contents.certificates.size << " bytes)\n";
    }
}

}  // namespace kestrel
