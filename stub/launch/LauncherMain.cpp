// LauncherMain.cpp — WinMain with the start-up switches, and LaunchSequence,
// the ordered steps from a fresh process to a running Java application.
#include "LauncherMain.h"

#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "DecisionTrace.h"
#include "FileUtils.h"
#include "JavaVMLauncher.h"
#include "LauncherDialogs.h"
#include "Progress.h"
#include "PayloadExtraction.h"
#include "ProcessEnvironment.h"
#include "Resources.h"
#include "RuntimeArchive.h"
#include "RuntimeDownload.h"
#include "SingleInstance.h"
#include "UserRegistry.h"
#include "WinLoader.h"
#include "ConfigKeys.h"

const char* LauncherArguments = "";
bool QuietMode = false;
bool ManualMode = false;

// Exit code of a quiet start without a usable runtime.
constexpr int NoRuntimeExitCode = 83;

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* CommandLineTail(const char* commandLine) {
    const char* p = commandLine;
    while (IsBlank(*p)) ++p;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    while (IsBlank(*p)) ++p;
    return p;
}

// The flag that a previous run had to look for a runtime.
static bool InstallStartedIsSet() {
    DWORD value = 0;
    return ReadUserDword(LAUNCHER_REGISTRY_KEY, "InstallStarted", &value) && value != 0;
}

static void SetInstallStarted() { WriteUserDword(LAUNCHER_REGISTRY_KEY, "InstallStarted", 1); }

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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int) {
    StartTrace();
    InitCommonControls();
    PrepareProcessEnvironment(instance);
    LauncherArguments = tail;
    if (strncmp(LauncherArguments, "-q", 2) == 0) {
        QuietMode = true;
        GuiMode = false;
    }
    TRACE("switches: command line \"%s\": quiet %s, errors in %s", LauncherArguments, OnOff(QuietMode),
          GuiMode ? "message boxes" : "standard error");
    SingleInstanceGuard();
    if (strcmp(LauncherArguments, "/manual") == 0 || strcmp(LauncherArguments, "-manual") == 0)
        ManualMode = true;
    if (!QuietMode && InstallStartedIsSet() && UserWantsManualRuntime()) ManualMode = true;
    TRACE("switches: manual %s", OnOff(ManualMode));
    if (QuietMode) {
        LaunchSequence(nullptr);
        TRACE("exit: code 0, the launch sequence has ended");
    } else {
        RegisterProgressDialogClass();
        DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_PROGRESS), nullptr, ProgressDialogProc,
                        reinterpret_cast<LPARAM>(LaunchSequence));
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
static bool HandleMissingRuntime(HWND dialog) {
    if (!dialog) {
        TRACE("exit: code %d, no runtime found in quiet mode", NoRuntimeExitCode);
        fputs("no jre found\n", stdout);
        exit(NoRuntimeExitCode);
    }
    char downloadLocation[TextBufferSize];
    ConfigString(Key::DownloadLocation, downloadLocation, sizeof downloadLocation);
    Progress.downloadOffered = downloadLocation[0] != '\0';
    TRACE("runtime: none found; the runtime-not-found dialog opens, %s",
          Progress.downloadOffered ? "a download offered" : "no download offered");
    INT_PTR choice = DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_RUNTIME_NOT_FOUND), dialog,
                                     RuntimeNotFoundDialogProc, 0);
    // Any other result means a runtime was located; it is loaded already.
    if (choice != IDC_DOWNLOAD) {
        TRACE("runtime: the user located a runtime by hand");
        return false;
    }
    TRACE("runtime: the user chose to download one from %s", downloadLocation);
    DownloadRuntime(dialog, downloadLocation);
    return true;
}

DWORD WINAPI LaunchSequence(LPVOID progressDialog) {
    HWND dialog = static_cast<HWND>(progressDialog);
    if (dialog) SetProgressPosition(dialog, 0);
    if (!ExtractPayload(PayloadDirectory, TextBufferSize)) EndWithCorruptedInstallation(dialog);
    if (PayloadDirectory[0]) SetCurrentDirectoryA(PayloadDirectory);

    char archivePath[TextBufferSize];
    GetFullPathNameA("jre.tar.gz", sizeof archivePath, archivePath, nullptr);
    bool archivePresent = FileExists(archivePath);
    if (archivePresent) {
        TRACE("runtime: %s is present: the runtime is unpacked from it, no search", archivePath);
    } else {
        TRACE("runtime: no runtime archive: %s",
              ManualMode ? "manual mode, no automatic search" : "the automatic search runs");
        SetInstallStarted();
        bool runtimeFound = !ManualMode && LoadJavaRuntime(false, nullptr, false);
        if (!runtimeFound) archivePresent = HandleMissingRuntime(dialog);
    }

    if (PayloadDirectory[0]) SetCurrentDirectoryA(PayloadDirectory);
    ChooseProgressValues(archivePresent);
    if (dialog) SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, Progress.limit);
    // A runtime that does not work once unpacked ends the process (code 83).
    if (archivePresent) ExtractRuntime(dialog);
    if (dialog) StartProgressThread(WatchApplicationWindows, dialog);
    if (!StartJavaVM({LauncherArguments, ManualMode, SemaphoreName})) FatalConfiguredError(Message::VMStartFailed, nullptr, nullptr);
    TRACE("vm: the application's main method has returned and its last thread has ended");
    // The application has ended: with the dialog, end its modal loop too, so
    // the process ends with 0 instead of lingering with a hidden dialog.
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return 0;
}
