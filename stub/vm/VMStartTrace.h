// VMStartTrace.h — the decision trace's lines of the in-process VM start:
// the option list and the entry class's arguments one entry per line, and
// what JNI_CreateJavaVM answered. Call them when TraceOn.
#pragma once

#include <jni.h>

#include "StringList.h"

void TraceVMOptions(const JavaVMInitArgs& initArgs);
void TraceMainArguments(const WideStringList& arguments);
void TraceVMCreation(jint result);
