// A program that calls a C library function which Setup.exe's own pieces
// (src/app/c_library) do not provide. Linked as Setup.exe is, it must not
// link: the test pe.link_refuses_c_library expects the undefined reference.
#include <windows.h>

#include <cstdlib>

extern "C" void WinMainCRTStartup() { ::ExitProcess(std::strtoul(::GetCommandLineA(), nullptr, 10)); }
