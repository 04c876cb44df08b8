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

// Appends the words of `text` to `words` (see SplitArguments); with a
// prefix only the leading prefixed words. An unterminated quote ends the
// process with message 1007. Returns where the scan stopped, or null when
// memory ran out.
const char* AppendArgumentWords(const char* text, const char* prefix, StringList& words);

// Writes "-Djava.class.path=" with the payload archives, the installer
// runtime archive and the configured entries into `option`, the value
// enclosed in quotes and every entry followed by ';'. A missing mandatory
// entry ends the process with message 1006 or 1008. The text grows as
// needed, so a long class path is never cut. False when memory ran out.
bool BuildClassPathOption(TextBuilder& option);

// What the launch sequence hands the VM start.
struct VMStartRequest {
    const char* commandLine;    // the launcher's command-line tail, switches kept
    bool manualMode;            // the runtime was chosen by hand (kestrel.manualJre)
    const char* semaphoreName;  // the single-instance semaphore; null without one
};

struct VMOptions {
    StringList options;  // the option texts; never freed
    JavaVMInitArgs initArgs;
    // The command line behind the leading "-J" options that became VM options.
    const char* remainingCommandLine;
};

// Composes the VM's option list in its fixed order: `properties`, the lines
// of the ".vmoptions" file beside the executable, the class path option, the
// options of Key::VMOptions, and with Key::CommandLineVMOptions the leading "-J" words of
// `commandLine`. False when memory ran out.
bool BuildVMOptions(const StringList& properties, const char* commandLine, VMOptions& result);

// Creates the VM through the loaded runtime's JNI_CreateJavaVM with the
// launcher properties and the option list, runs an installer's first-run
// step, calls com.kestrel.runtime.WinLauncher.main with the five fixed
// arguments, the configured and the command-line arguments, and destroys the
// VM when main returns (which waits for the application's last non-daemon
// thread). False when the VM could not be created or set up, or main ended
// with an exception; some failures end the process with their own message.
bool StartJavaVM(const VMStartRequest& request);
