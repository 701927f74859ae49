// How Setup.exe's process starts its static objects and ends, in place of
// the C library's start-up and exit code.
#include <windows.h>

#include <cstdlib>

extern "C" {

// The constructors of static objects, which the linker lists between
// __CTOR_LIST__'s first entry (-1) and a null one; GCC's order is from the
// last to the first. Called once, by the entry point (start.cpp).
extern void (*__CTOR_LIST__[])();

void __main() {
  std::size_t count = 0;
  while (__CTOR_LIST__[count + 1] != nullptr) ++count;
  for (; count > 0; --count) __CTOR_LIST__[count]();
}

// Nothing runs at exit but the end of the process: Setup.exe has no static
// object with a destructor (the window and its runtime live in wWinMain and
// are gone before it returns; the system frees the rest with the process).
// atexit, where the compiler registers such destructors, is left out on
// purpose: a static object with a destructor added later makes the link fail
// here rather than its destructor be dropped unseen.
void exit(int status) { ::ExitProcess(static_cast<UINT>(status)); }

// A fault: the system reports it (or its debugger takes it) as any crash.
void abort() { __builtin_trap(); }

}  // extern "C"
