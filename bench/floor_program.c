/* The floor of the start-up benchmark: the bare launch program of
 * tools/realjvm (load jvm.dll by its path, create the VM with a class path,
 * call main) built as a GUI program that initialises the common controls
 * first, as the launcher does. What the launcher takes beyond this is its
 * own work: configuration, single-instance guard, runtime search, options. */
#include <windows.h>
#include <commctrl.h>

#define main bare_launch_main
#include "bare-launch.c"
#undef main

int main(int argc, char **argv)
{
    InitCommonControls();
    return bare_launch_main(argc, argv);
}
