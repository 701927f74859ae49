// Keeps Setup.exe within its size budget for the media (it carries its
// artwork). Setup.exe is built without C++ exceptions (src/forms/error.h),
// but the static C++ run-time it links was built with them: a few of its
// pieces would throw the standard exception classes and so bring in the
// unwinder, its tables and the exception classes with the strings they keep.
// Here those pieces end the program at once instead; nothing in the launcher
// handles running out of memory or misusing a container, each is a fault.
// MinGW's own printf engine is left out too: the launcher prints at most one
// plain line of text, which the system's C library prints just as well.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>

extern "C" int __mingw_vfprintf(FILE* stream, const char* format, va_list arguments) {
  return __ms_vfprintf(stream, format, arguments);  // the C library's own, not this one again
}

void* operator new(std::size_t size) {
  if (void* const block = std::malloc(size != 0 ? size : 1)) return block;
  std::abort();
}
// The library's own form catches what the form above would throw.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size != 0 ? size : 1); }

// The library's containers and strings report misuse (an index out of range,
// a length beyond the largest) through these helpers.
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
