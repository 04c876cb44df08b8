// ProcessEnvironment.cpp — loads the configuration and records the product
// flavour before anything else runs.
#include "ProcessEnvironment.h"

#include "ConfigBlock.h"
#include "LauncherMain.h"

char ProductFlavour = '\0';

void PrepareProcessEnvironment(HINSTANCE instance) {
    LoadConfigBlock();
    ModuleInstance = instance;
    char flavour[2];
    ConfigString(2001, flavour, sizeof flavour);
    ProductFlavour = flavour[0];
}
