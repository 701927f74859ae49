// A DLL that stands for one planted beside Setup.exe under a system DLL's
// name. It does nothing: the fault matrix looks for it among the launcher's
// loaded modules.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
