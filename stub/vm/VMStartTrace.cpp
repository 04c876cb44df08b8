// VMStartTrace.cpp — the VM's options and main's arguments as the VM gets
// them, and JNI_CreateJavaVM's result in words.
#include "VMStartTrace.h"

#include "DecisionTrace.h"
#include "TextFormat.h"

void TraceVMOptions(const JavaVMInitArgs& initArgs) {
    TRACE("vm: %ld option(s), JNI version 0x%lx, unrecognised options %s", long(initArgs.nOptions),
          long(initArgs.version), initArgs.ignoreUnrecognized ? "ignored" : "refused");
    for (jint i = 0; i < initArgs.nOptions; ++i)
        TRACE("vm: option %ld: %s", long(i + 1), initArgs.options[i].optionString);
}

void TraceMainArguments(const WideStringList& arguments) {
    TRACE("vm: %lu argument(s) for main", (unsigned long)arguments.Count());
    for (size_t i = 0; i < arguments.Count(); ++i) {
        char lead[48];
        FormatText(lead, sizeof lead, "vm: argument %lu: \"", (unsigned long)(i + 1));
        TRACE_WIDE(lead, arguments.At(i), "\"");
    }
}

// JNI's result codes (jni.h) in words.
static const char* CreationResultText(jint result) {
    switch (result) {
    case JNI_OK: return "the VM is created";
    case JNI_EDETACHED: return "thread detached from the VM";
    case JNI_EVERSION: return "the VM does not support JNI version 1.2";
    case JNI_ENOMEM: return "not enough memory";
    case JNI_EEXIST: return "a VM exists already in this process";
    case JNI_EINVAL: return "an option is invalid";
    default: return "the VM did not start (unknown error; its own output, if any, says why)";
    }
}

void TraceVMCreation(jint result) {
    TRACE("vm: JNI_CreateJavaVM returned %ld: %s", long(result), CreationResultText(result));
}
