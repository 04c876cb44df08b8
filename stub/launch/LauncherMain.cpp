// LauncherMain.cpp — the launcher's main routine with its command-line
// words, and LaunchSequence, the ordered steps from a fresh process to a
// running Java application.
#include "LauncherMain.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

#include "CodePages.h"
#include "CommandLineWords.h"
#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "DecisionTrace.h"
#include "FileUtils.h"
#include "JavaVMLauncher.h"
#include "LauncherDialogs.h"
#include "Progress.h"
#include "PayloadExtraction.h"
#include "PayloadFolders.h"
#include "ProcessEnvironment.h"
#include "Resources.h"
#include "RuntimeArchive.h"
#include "RuntimeDownload.h"
#include "RuntimeFiles.h"
#include "SingleInstance.h"
#include "UserRegistry.h"
#include "RuntimeLoader.h"
#include "SearchTrace.h"
#include "ConfigKeys.h"

bool QuietMode = false;
bool ManualMode = false;

// What the command line holds for the VM start: the "-J" options the
// launcher took (in the ANSI code page) and the application's words.
static StringList CommandLineVMOptions;
static WideStringList ApplicationArguments;

// Exit code of a quiet start without a usable runtime.
constexpr int NoRuntimeExitCode = 83;

// The flag that a previous run had to look for a runtime.
static bool InstallStartedIsSet() {
    DWORD value = 0;
    return ReadUserDword(LAUNCHER_REGISTRY_KEY, "InstallStarted", &value) && value != 0;
}

static void SetInstallStarted(bool set) { WriteUserDword(LAUNCHER_REGISTRY_KEY, "InstallStarted", set ? 1 : 0); }

// Asks whether to pick the runtime by hand after an unfinished earlier run.
static bool UserWantsManualRuntime() {
    wchar_t question[TextBufferSize], caption[TextBufferSize];
    ConfigWString(Text::ResumeQuestion, question, TextBufferSize);
    ConfigWString(Text::Caption, caption, TextBufferSize);
    bool manual = MessageBoxW(nullptr, question, caption, MB_YESNO | MB_ICONWARNING) == IDYES;
    TRACE("switches: an earlier run had to look for a runtime; asked, the user chose %s",
          manual ? "to pick one by hand (manual)" : "the automatic search");
    return manual;
}

static const char* OnOff(bool value) { return value ? "on" : "off"; }

// Splits the command line once and takes the launcher's own words from its
// front (CommandLineWords.h); the rest is kept for the application.
static void ReadCommandLine(const wchar_t* commandLine) {
    WideStringList words, vmOptions;
    LauncherWords taken;
    bool read = SplitCommandLine(commandLine, words) &&
                TakeLauncherWords(words, ConfigInt(Key::CommandLineVMOptions) != 0, taken, vmOptions);
    for (size_t i = 0; read && i < vmOptions.Count(); ++i) read = AppendAnsiText(CommandLineVMOptions, vmOptions.At(i));
    for (size_t i = taken.firstApplicationWord; read && i < words.Count(); ++i)
        read = ApplicationArguments.Append(words.At(i));
    if (!read) FatalInternalError("Internal Error: out of memory reading the command line");
    QuietMode = taken.quiet;
    ManualMode = taken.manual;
    if (QuietMode) GuiMode = false;
    TRACE("switches: %u launcher word(s), %u VM option(s), %u argument(s) for the application: quiet %s, "
          "errors in %s", unsigned(taken.firstApplicationWord - 1), unsigned(CommandLineVMOptions.Count()),
          unsigned(ApplicationArguments.Count()), OnOff(QuietMode), GuiMode ? "message boxes" : "standard error");
}

int LauncherMain(HINSTANCE instance, const wchar_t* commandLine) {
    StartTrace();
    InitCommonControls();
    PrepareProcessEnvironment(instance);
    ReadCommandLine(commandLine);
    SingleInstanceGuard();
    if (!QuietMode && InstallStartedIsSet() && UserWantsManualRuntime()) ManualMode = true;
    TRACE("switches: manual %s", OnOff(ManualMode));
    if (TraceOn) TraceCandidates();
    if (QuietMode) {
        LaunchSequence(nullptr);
        TRACE("exit: code 0, the launch sequence has ended");
    } else if (RunProgressDialog(LaunchSequence) == IDCANCEL) {
        // The process ends with 0; a download cut short leaves no archive.
        RemoveAbandonedArchive();
        TRACE("exit: code 0, the progress dialog was cancelled");
    } else {
        TRACE("exit: code 0, the progress dialog has closed");
    }
    return 0;
}

// Chooses the progress bar's final range once it is known whether a runtime
// archive has to be unpacked.
static void ChooseProgressValues(bool archivePresent) {
    if (!archivePresent) {
        Progress.limit = 80;
        Progress.base = 0;
    } else if (ConfigInt(Key::PackedJars) != 0) {
        Progress.limit = 250;
        Progress.base = 200;
    } else {
        Progress.limit = 150;
        Progress.base = 100;
    }
}

// No runtime was found automatically: quiet starts end here; with the dialog
// the user may download or locate one. Returns whether an archive is present.
static bool HandleMissingRuntime(HWND dialog, const char* archive) {
    if (!dialog) {
        TRACE("exit: code %d, no runtime found in quiet mode", NoRuntimeExitCode);
        fputs("no jre found\n", stdout);
        EndProcess(NoRuntimeExitCode);
    }
    char downloadLocation[TextBufferSize];
    ConfigString(Key::DownloadLocation, downloadLocation, sizeof downloadLocation);
    Progress.downloadOffered = downloadLocation[0] != '\0';
    TRACE("runtime: none found; the runtime-not-found dialog opens, %s",
          Progress.downloadOffered ? "a download offered" : "no download offered");
    // Any other result than Download means a runtime was located; it is
    // loaded already.
    if (AskForRuntime(dialog) != IDC_DOWNLOAD) {
        TRACE("runtime: the user located a runtime by hand");
        return false;
    }
    TRACE("runtime: the user chose to download one from %s", downloadLocation);
    DownloadRuntime(dialog, downloadLocation, archive);
    return true;
}

// Run when the VM is up and the entry class's main is about to be called:
// the start has reached the application, so nothing is left to ask about at
// the next start, and the payload folders of ended starts can go.
static void ApplicationStarting() {
    if (InstallStartedIsSet()) SetInstallStarted(false);
    StartPayloadFolderCleanup();
}

static void TraceApplicationDirectory() {
    char current[TextBufferSize];
    DWORD length = GetCurrentDirectoryA(sizeof current, current);
    if (length == 0 || length >= sizeof current) strcpy(current, "(unknown)");
    TRACE("vm: the application starts in %s", current);
}

// Applications run in the directory the user started them in, or the
// configured one; installers in the payload folder, which they rely on.
static void EnterApplicationDirectory(const char* startDirectory) {
    if (ProductFlavour == 'i')
        SetCurrentDirectoryA(PayloadDirectory[0] ? PayloadDirectory : startDirectory);
    else if (startDirectory[0])
        SetCurrentDirectoryA(startDirectory);
    if (TraceOn) TraceApplicationDirectory();
}

// Ends the process with the message that tells what went wrong.
static void ReportVMStartOutcome(VMStartOutcome outcome) {
    switch (outcome) {
        case VMStartOutcome::Ended:
            return;
        case VMStartOutcome::VMNotCreated:
            FatalConfiguredError(Message::VMStartFailed, nullptr, nullptr);
        case VMStartOutcome::ApplicationNotStarted:
            FatalConfiguredError(Message::ApplicationNotStarted, nullptr, nullptr);
        case VMStartOutcome::ApplicationFailed:
            FatalConfiguredError(Message::ApplicationFailed, nullptr, nullptr);
    }
}

DWORD WINAPI LaunchSequence(LPVOID progressDialog) {
    HWND dialog = static_cast<HWND>(progressDialog);
    // The configured working directory, or where the user started the launcher.
    char startDirectory[TextBufferSize];
    DWORD length = GetCurrentDirectoryA(sizeof startDirectory, startDirectory);
    if (length == 0 || length >= sizeof startDirectory) startDirectory[0] = '\0';
    if (dialog) SetProgressPosition(dialog, 0);
    if (!ExtractPayload(PayloadDirectory, TextBufferSize)) EndWithCorruptedInstallation(dialog);
    if (PayloadDirectory[0]) SetCurrentDirectoryA(PayloadDirectory);

    // Absolute from here on: the file chooser of Locate may change the
    // current directory, and the runtime's files must not follow it.
    const RuntimeFiles& runtimeFiles = PlaceRuntimeFiles(PayloadDirectory);
    bool archivePresent = FileExists(runtimeFiles.archive);
    if (archivePresent) {
        TRACE("runtime: %s is present: the runtime is unpacked from it, no search", runtimeFiles.archive);
    } else {
        TRACE("runtime: no runtime archive: %s",
              ManualMode ? "manual mode, no automatic search" : "the automatic search runs");
        SetInstallStarted(true);
        bool runtimeFound = !ManualMode && LoadSearchedRuntime(FailureMessages::Hidden);
        if (!runtimeFound) archivePresent = HandleMissingRuntime(dialog, runtimeFiles.archive);
    }

    ChooseProgressValues(archivePresent);
    if (dialog) SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, Progress.limit);
    // A runtime that does not work once unpacked ends the process (code 83).
    if (archivePresent) ExtractRuntime(dialog, runtimeFiles);
    if (dialog) CloseHandle(StartRequiredThread(WatchApplicationWindows, dialog, THREAD_PRIORITY_ABOVE_NORMAL));
    EnterApplicationDirectory(startDirectory);
    ReportVMStartOutcome(StartJavaVM(
        {CommandLineVMOptions, ApplicationArguments, ManualMode, SemaphoreName, ApplicationStarting}));
    TRACE("vm: the application's main method has returned and its last thread has ended");
    // The application has ended: with the dialog, end its modal loop too, so
    // the process ends with 0 instead of lingering with a hidden dialog.
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return 0;
}
