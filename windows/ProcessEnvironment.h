// ProcessEnvironment.h — preparing the process before the command line is
// interpreted: configuration, product flavour, PATH and working directory.
#pragma once

#include <windows.h>

// 'e' for an application launcher, 'i' for an installer, anything else
// (also NUL, when unset) for neither.
extern char ProductFlavour;

void PrepareProcessEnvironment(HINSTANCE instance);
