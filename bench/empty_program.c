/* An empty Windows program, the floor of the real-VM start-up benchmark:
 * built as a console program, and with GUI_PROGRAM as a GUI program that
 * initialises the common controls first, as the launcher does, to show
 * what Wine's start of a process of either kind costs by itself. */
#ifdef GUI_PROGRAM
#include <windows.h>
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR tail, int show)
{
    (void)instance, (void)previous, (void)tail, (void)show;
    InitCommonControls();
    return 0;
}
#else
int main(void)
{
    return 0;
}
#endif
