// ConfigKeys.h — the names of every configuration key, message number and
// wide text the launcher reads from its configuration block. The launcher
// and the packer both use these names, so the two cannot drift apart.
// Portable: no Windows headers.
#pragma once

#include <cstdint>

// Narrow settings.
namespace Key {
constexpr int32_t ErrorLogSwitch = 102;         // hand the error log (103) to the Java side
constexpr int32_t ErrorLog = 103;               // error output log file
constexpr int32_t OutputLogSwitch = 104;        // hand the output log (105) to the Java side
constexpr int32_t OutputLog = 105;              // standard output log file
constexpr int32_t RuntimeVerbose = 106;         // Java side reports each step
constexpr int32_t ApplicationType = 107;        // 1 windowed, 5 installer, else console
constexpr int32_t ClassPath = 121;              // class path specification
constexpr int32_t MainClass = 122;              // dotted main class name
constexpr int32_t VMOptions = 123;              // configured VM options
constexpr int32_t DefaultArguments = 124;       // arguments before the command line's
constexpr int32_t CommandLineVMOptions = 125;   // leading -J words become VM options
constexpr int32_t MinimumVersion = 126;         // lowest accepted Java version
constexpr int32_t MaximumVersion = 127;         // highest accepted Java version
constexpr int32_t SearchSequence = 128;         // runtime search tokens
constexpr int32_t AcceptBeta = 130;             // accept beta runtimes
constexpr int32_t WorkingDirectory = 146;       // working directory of the process
constexpr int32_t DownloadLocation = 150;       // runtime archive download URL
constexpr int32_t ArchiveSize = 151;            // uncompressed runtime archive size
constexpr int32_t PreferredVM = 152;            // VM subdirectory tried first
constexpr int32_t PackedJars = 153;             // runtime archive holds packed jars
constexpr int32_t Trace = 160;                  // decision trace: "1" standard error, else a file
constexpr int32_t ProductFlavour = 2001;        // 'e' application, 'i' installer
constexpr int32_t PayloadCount = 2002;          // number of payload files
constexpr int32_t PayloadNames = 2003;          // payload file names, ';'-separated
constexpr int32_t ApplicationDirectory = 10003; // holds the ".tanager" folder
constexpr int32_t PathEntries = 10004;          // directories put in front of PATH
}  // namespace Key

// Application type values of Key::ApplicationType.
namespace ApplicationType {
constexpr int32_t Windowed = 1;
constexpr int32_t Installer = 5;
}  // namespace ApplicationType

// Narrow error messages.
namespace Message {
constexpr int32_t Caption = 1000;
constexpr int32_t NoRuntime = 1001;
constexpr int32_t SearchPathRuntimeDamaged = 1002;
constexpr int32_t EnvRuntimeInvalid = 1003;
constexpr int32_t DefinedPathRuntimeDamaged = 1004;
constexpr int32_t VMStartFailed = 1005;
constexpr int32_t ClassPathEntryMissing = 1006;
constexpr int32_t BadParameters = 1007;
constexpr int32_t EnvVarUndefined = 1008;
constexpr int32_t InternalError = 1009;
constexpr int32_t MainClassMissing = 1010;    // the launcher's Java-side entry class
constexpr int32_t MainMethodMissing = 1011;
constexpr int32_t ApplicationNotStarted = 1012;  // the application's main class or method not found
constexpr int32_t ApplicationFailed = 1013;      // the application's main ended with an exception
}  // namespace Message

// Wide texts of the dialogs and the wide error messages.
namespace Text {
constexpr int32_t Downloading = 20001;
constexpr int32_t InternetInitFailed = 20002;
constexpr int32_t DownloadFailed = 20003;
constexpr int32_t ChooserTitle = 20004;
constexpr int32_t NotFoundWithDownload = 20005;
constexpr int32_t NotFoundLocateOnly = 20006;
constexpr int32_t Preparing = 20007;
constexpr int32_t DownloadProgress = 20008;
constexpr int32_t DownloadStarting = 20009;
constexpr int32_t DownloadButton = 20010;
constexpr int32_t LocateButton = 20011;
constexpr int32_t CancelButton = 20012;
constexpr int32_t Caption = 20013;
constexpr int32_t NoWindow = 20014;
constexpr int32_t ResumeQuestion = 20015;
constexpr int32_t InstallationCorrupted = 20016;
}  // namespace Text
