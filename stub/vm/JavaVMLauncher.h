// JavaVMLauncher.h — starting the Java VM in the launcher's own process:
// variable expansion and word splitting of configured texts, the class path
// option, the VM's option list, creating the VM and calling the Java-side
// entry class.
#pragma once

#include <jni.h>

#include <cstddef>

#include "StringList.h"
#include "TextBuilder.h"

// Expands the launcher variables and "${name}" environment references in
// `text` (a buffer of `capacity` bytes) in place.
void ExpandVariables(char* text, size_t capacity);

// Appends the words of the configured `text` to `words` (see
// SplitArguments). An unterminated quote ends the process with
// Message::BadParameters. False when memory ran out.
bool AppendArgumentWords(const char* text, StringList& words);

// Writes "-Djava.class.path=" with the payload archives, the installer
// runtime archive and the configured entries into `option`, the value
// enclosed in quotes and every entry followed by ';'. A missing mandatory
// entry ends the process with message 1006 or 1008. The text grows as
// needed, so a long class path is never cut. False when memory ran out.
bool BuildClassPathOption(TextBuilder& option);

// What the launch sequence hands the VM start.
struct VMStartRequest {
    // The "-J" options the launcher took from its command line, prefix
    // removed, in the ANSI code page.
    const StringList& commandLineVMOptions;
    // The command line's words for the application, exactly as given.
    const WideStringList& applicationArguments;
    bool manualMode;            // the runtime was chosen by hand (kestrel.manualJre)
    const char* semaphoreName;  // the single-instance semaphore; null without one
    // Run when the VM is up, right before the entry class's main is called.
    void (*applicationStarting)();
};

struct VMOptions {
    StringList options;  // the option texts; never freed
    JavaVMInitArgs initArgs;
};

// Composes the VM's option list in its fixed order: `properties`, the lines
// of the ".vmoptions" file beside the executable, the class path option, the
// options of Key::VMOptions, and `commandLineVMOptions`. False when memory
// ran out.
bool BuildVMOptions(const StringList& properties, const StringList& commandLineVMOptions, VMOptions& result);

// How a VM start ended, when StartJavaVM returns at all (an application that
// ends the process itself never comes back).
enum class VMStartOutcome {
    Ended,                  // main returned; the VM is destroyed
    VMNotCreated,           // JNI_CreateJavaVM failed (or memory ran out before)
    ApplicationNotStarted,  // the Java side could not start the application's main
    ApplicationFailed,      // the application's main ended with an exception; the VM is destroyed
};

// Creates the VM through the loaded runtime's JNI_CreateJavaVM with the
// launcher properties and the option list, runs an installer's first-run
// step, calls com.kestrel.runtime.WinLauncher.main with the five fixed
// arguments, the configured and the command-line arguments, and destroys the
// VM when main returns (which waits for the application's last non-daemon
// thread), as java.exe does. An exception that the Java side could not start
// the application by is printed here; the application's own uncaught
// exception the Java side has already reported through the thread's handler,
// as java.exe would. Some failures end the process with their own message.
VMStartOutcome StartJavaVM(const VMStartRequest& request);
