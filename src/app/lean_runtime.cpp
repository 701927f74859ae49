// Keeps Setup.exe within its size budget for the media (it carries its
// artwork). The static C++ run-time would otherwise bring in three large
// pieces the launcher never needs: the symbol demangler (used only to name
// the type of an uncaught exception in a console message), MinGW's own printf
// engine (the launcher prints at most one plain line of text, which the
// system's C library prints just as well) and a POSIX threads library (see
// below). tests/win32/lean_runtime_check.cpp runs these replacements.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
// An uncaught exception ends the program at once, as the default would after its message.
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

extern "C" int __mingw_vfprintf(FILE* stream, const char* format, va_list arguments) {
  return __ms_vfprintf(stream, format, arguments);  // the C library's own, not this one again
}

// The exception machinery of the C++ run-time guards its tables with POSIX
// mutexes, one-time initialisation and one thread-local slot, which would
// bring in a whole POSIX threads library (about 30 KB). The launcher's code
// runs on one thread only, the window's, so these single-threaded forms are
// exact: a lock that is always free, a one-time call made on first use, and
// thread-local values held in a small table.
extern "C" {
int pthread_once(long* done, void (*initialise)()) {
  if (*done == 0) {
    *done = 1;
    initialise();
  }
  return 0;
}
int pthread_mutex_init(void*, const void*) { return 0; }
int pthread_mutex_destroy(void*) { return 0; }
int pthread_mutex_lock(void*) { return 0; }
int pthread_mutex_unlock(void*) { return 0; }

namespace {
void* thread_values[8];
unsigned keys_made = 0;
}  // namespace
int pthread_key_create(unsigned* key, void (*)(void*)) {
  if (keys_made == sizeof thread_values / sizeof thread_values[0]) return 11;  // EAGAIN
  *key = keys_made++;
  return 0;
}
void* pthread_getspecific(unsigned key) { return key < keys_made ? thread_values[key] : nullptr; }
int pthread_setspecific(unsigned key, const void* value) {
  if (key >= keys_made) return 22;  // EINVAL
  thread_values[key] = const_cast<void*>(value);
  return 0;
}
}
