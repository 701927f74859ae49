// Setup.exe's entry point, in place of the C run-time's start-up code (the
// program is linked without it, -nostartfiles, and without the system's C
// library: c_library/). That code prepares what a C program may use: its
// arguments and environment, thread-local storage, relocations of imported
// data, a handler that turns faults into signals, the C library's streams
// and heap. The launcher uses none of them; what remains is done here as
// that code does it.
#include <windows.h>

#include <cstdlib>

extern "C" {
void __main();  // c_library/process.cpp: runs the constructors of static objects

void WinMainCRTStartup() {
  // The x87 unit computes at full precision, as the start-up code leaves it
  // (the system starts a process at double precision).
  __asm__ volatile("fninit");
  __main();
  STARTUPINFOA startup{};  // the show command alone: either form serves
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
  std::exit(wWinMain(::GetModuleHandleA(nullptr), nullptr, ::GetCommandLineW(), show));  // c_library/process.cpp
}
}
