// Setup.exe's entry point, in place of the C run-time's start-up code (the
// program is linked without it: -nostartfiles). That code prepares what a C
// program may use: its arguments and environment, thread-local storage,
// relocations of imported data, a handler that turns faults into signals.
// The launcher uses none of them, and the system's C library readies itself
// when it is loaded. What remains is done here as that code does it.
#include <windows.h>

#include <cstdlib>

extern "C" {
__declspec(dllimport) void __set_app_type(int type);  // the system's C library
void __main();  // the compiler's run-time: runs the constructors of static objects

// Destructors of static objects are registered through atexit, which the
// start-up code provides: the system's C library runs them at exit.
int atexit(void (*function)()) { return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1; }

void WinMainCRTStartup() {
  __set_app_type(2);  // a window program: the C library shows its own errors in a box
  // The x87 unit computes at full precision, as the start-up code leaves it
  // (the system starts a process at double precision).
  __asm__ volatile("fninit");
  __main();
  STARTUPINFOA startup{};  // the show command alone: either form serves
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
  std::exit(wWinMain(::GetModuleHandleA(nullptr), nullptr, ::GetCommandLineW(), show));
}
}
