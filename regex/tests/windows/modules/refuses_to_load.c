/* A module whose entry point refuses every load: only a load as a data file,
   which runs no code of it, succeeds. */
#include <windows.h>

BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return FALSE;
}
