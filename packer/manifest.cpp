// Writing the manifest. DPI awareness is declared twice: <dpiAwareness>
// (Windows 10 1607 and later, which take the first value they know from the
// list) and <dpiAware> for the versions before, where "true/pm" means per
// monitor on Windows 8.1 and system-wide on Windows 7.
#include "manifest.h"

namespace kestrel {
namespace {

constexpr const char* kWindowsSettings2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
constexpr const char* kWindowsSettings2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";

struct SupportedOs {
    const char* name;
    const char* id;
};

constexpr SupportedOs kSupportedOs[] = {
    {"Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
    {"Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
    {"Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
    {"Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
};

const char* processor_architecture(Architecture architecture) {
    return architecture == Architecture::X86 ? "X86" : "amd64";
}

// The <dpiAware> and <dpiAwareness> values; empty: the element is left out.
struct DpiValues {
    const char* dpi_aware;
    const char* dpi_awareness;
};

DpiValues dpi_values(DpiAwareness awareness) {
    switch (awareness) {
        case DpiAwareness::PerMonitorV2:
            return {"true/pm", "PerMonitorV2, PerMonitor"};
        case DpiAwareness::PerMonitor:
            return {"true/pm", "PerMonitor"};
        case DpiAwareness::System:
            return {"true", "System"};
        case DpiAwareness::Unaware:
            break;
    }
    return {"false", "Unaware"};
}

std::string identity(const char* name, const char* version, Architecture architecture) {
    return std::string("type=\"win32\" name=\"") + name + "\" version=\"" + version + "\" processorArchitecture=\"" +
           processor_architecture(architecture) + "\"";
}

std::string compatibility() {
    std::string text =
        "  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n"
        "    <application>\n";
    for (const SupportedOs& os : kSupportedOs) {
        text += std::string("      <!-- ") + os.name + " -->\n      <supportedOS Id=\"" + os.id + "\"/>\n";
    }
    return text + "    </application>\n  </compatibility>\n";
}

std::string windows_settings(const ManifestSettings& settings) {
    const DpiValues dpi = dpi_values(settings.dpi_awareness);
    return std::string("  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n    <windowsSettings>\n") +
           "      <dpiAware xmlns=\"" + kWindowsSettings2005 + "\">" + dpi.dpi_aware + "</dpiAware>\n" +
           "      <dpiAwareness xmlns=\"" + kWindowsSettings2016 + "\">" + dpi.dpi_awareness + "</dpiAwareness>\n" +
           "      <longPathAware xmlns=\"" + kWindowsSettings2016 + "\">" +
           (settings.long_path_aware ? "true" : "false") + "</longPathAware>\n" +
           "    </windowsSettings>\n  </application>\n";
}

// The text after `marker` up to `end`, or empty.
std::string text_after(std::string_view xml, std::string_view marker, char end) {
    const std::size_t start = xml.find(marker);
    if (start == std::string_view::npos) return {};
    const std::size_t from = start + marker.size();
    const std::size_t to = xml.find(end, from);
    return to == std::string_view::npos ? std::string() : std::string(xml.substr(from, to - from));
}

// The content of the first element named `name`, or empty.
std::string element_text(std::string_view xml, std::string_view name) {
    const std::size_t start = xml.find("<" + std::string(name));
    if (start == std::string_view::npos) return {};
    return text_after(xml.substr(start), ">", '<');
}

}  // namespace

const char* execution_level_name(ExecutionLevel level) {
    switch (level) {
        case ExecutionLevel::AsInvoker:
            return "asInvoker";
        case ExecutionLevel::RequireAdministrator:
            return "requireAdministrator";
        case ExecutionLevel::HighestAvailable:
            break;
    }
    return "highestAvailable";
}

const char* dpi_awareness_name(DpiAwareness awareness) {
    switch (awareness) {
        case DpiAwareness::PerMonitorV2:
            return "PerMonitorV2";
        case DpiAwareness::PerMonitor:
            return "PerMonitor";
        case DpiAwareness::System:
            return "System";
        case DpiAwareness::Unaware:
            break;
    }
    return "Unaware";
}

std::string launcher_manifest(const ManifestSettings& settings, Architecture architecture) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n") +
           "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n" +
           "  <assemblyIdentity " + identity("jredl", "1.0.0.0", architecture) + "/>\n" +
           "  <dependency>\n    <dependentAssembly>\n" +
           "      <assemblyIdentity " + identity("Microsoft.Windows.Common-Controls", "6.0.0.0", architecture) +
           " publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n" +
           "    </dependentAssembly>\n  </dependency>\n" +
           "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n    <security>\n      <requestedPrivileges>\n" +
           "        <requestedExecutionLevel level=\"" + execution_level_name(settings.execution_level) +
           "\" uiAccess=\"false\"/>\n" +
           "      </requestedPrivileges>\n    </security>\n  </trustInfo>\n" + compatibility() +
           windows_settings(settings) + "</assembly>\n";
}

DeclaredManifest read_manifest(std::string_view xml) {
    return {text_after(xml, "requestedExecutionLevel level=\"", '"'), element_text(xml, "dpiAwareness"),
            element_text(xml, "longPathAware"),
            xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") != std::string_view::npos};
}

}  // namespace kestrel
