// Keeps Setup.exe within its size budget for the media (it carries its
// artwork). The static C++ run-time would otherwise bring in large pieces the
// launcher never needs: the symbol demangler (used only to name the type of
// an uncaught exception in a console message), MinGW's own printf engine (the
// launcher prints at most one plain line of text, which the system's C
// library prints just as well), the standard exception classes with the
// strings they keep (see below) and a POSIX threads library (see below).
// tests/win32/lean_runtime_check.cpp runs these replacements.
#include <windows.h>
// The POSIX declarations, so that the forms below keep their exact signatures.
#include <pthread.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace __gnu_cxx {
// An uncaught exception ends the program at once, as the default would after its message.
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

extern "C" int __mingw_vfprintf(FILE* stream, const char* format, va_list arguments) {
  return __ms_vfprintf(stream, format, arguments);  // the C library's own, not this one again
}

// The library's containers and strings report misuse (an index out of range,
// a length beyond the largest) through these helpers, which would throw the
// standard exception classes. The launcher handles none of these: each is a
// fault, and ends the program at once.
namespace std {
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_bad_function_call() { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { std::abort(); }
}  // namespace std

// The exception machinery of the C++ run-time guards its tables with POSIX
// mutexes, one-time initialisation and thread-local slots, which would bring
// in a whole POSIX threads library (about 30 KB). The launcher has two
// threads (the window's and the shell's), so these forms on the system's own
// primitives are exact for any number: a mutex is a critical section made on
// first use, a one-time call runs once while other callers wait, and a
// thread-local slot is a TLS index. (A thread's values are not destroyed
// when it ends: the launcher's threads last as long as the program.)
extern "C" {

namespace {

// The static initialisers (PTHREAD_MUTEX_INITIALIZER and its recursive form)
// are small negative numbers; a made mutex holds its critical section's address.
CRITICAL_SECTION* Section(pthread_mutex_t* mutex) {
  const auto current = reinterpret_cast<intptr_t>(
      ::InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(mutex), nullptr, nullptr));
  if (current > 0) return reinterpret_cast<CRITICAL_SECTION*>(current);
  auto* made = static_cast<CRITICAL_SECTION*>(std::malloc(sizeof(CRITICAL_SECTION)));
  if (made == nullptr) std::abort();
  ::InitializeCriticalSection(made);  // recursive, so serves both kinds
  void* const before = ::InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(mutex), made,
                                                           reinterpret_cast<void*>(current));
  if (before == reinterpret_cast<void*>(current)) return made;
  ::DeleteCriticalSection(made);  // another thread made it first
  std::free(made);
  return static_cast<CRITICAL_SECTION*>(before);
}

}  // namespace

int pthread_once(pthread_once_t* once, void (*initialise)()) {
  // 0: not yet, 1: running on some thread, 2: done.
  const auto state = reinterpret_cast<volatile LONG*>(once);
  if (::InterlockedCompareExchange(state, 1, 0) == 0) {
    initialise();
    ::InterlockedExchange(state, 2);
  } else {
    while (::InterlockedCompareExchange(state, 2, 2) != 2) ::Sleep(0);
  }
  return 0;
}
int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
  *mutex = PTHREAD_MUTEX_INITIALIZER;
  return 0;
}
int pthread_mutex_destroy(pthread_mutex_t* mutex) {
  if (*mutex > 0) {
    auto* section = reinterpret_cast<CRITICAL_SECTION*>(*mutex);
    ::DeleteCriticalSection(section);
    std::free(section);
  }
  *mutex = PTHREAD_MUTEX_INITIALIZER;
  return 0;
}
int pthread_mutex_lock(pthread_mutex_t* mutex) {
  ::EnterCriticalSection(Section(mutex));
  return 0;
}
int pthread_mutex_unlock(pthread_mutex_t* mutex) {
  ::LeaveCriticalSection(Section(mutex));
  return 0;
}

int pthread_key_create(pthread_key_t* key, void (*)(void*)) {
  const DWORD index = ::TlsAlloc();
  if (index == TLS_OUT_OF_INDEXES) return 11;  // EAGAIN
  *key = index;
  return 0;
}
void* pthread_getspecific(pthread_key_t key) {
  const DWORD error = ::GetLastError();  // callers do not expect it to change
  void* const value = ::TlsGetValue(key);
  ::SetLastError(error);
  return value;
}
int pthread_setspecific(pthread_key_t key, const void* value) {
  return ::TlsSetValue(key, const_cast<void*>(value)) ? 0 : 22;  // EINVAL
}
}
