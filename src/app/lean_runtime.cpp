// Keeps Setup.exe within its size budget for the media (it carries its
// artwork). Setup.exe is built without C++ exceptions (src/forms/error.h),
// but the static C++ run-time it links was built with them: a few of its
// pieces would throw the standard exception classes and so bring in the
// unwinder, its tables and the exception classes with the strings they keep.
// Here those pieces end the program at once instead; nothing in the launcher
// handles misusing a container, each is a fault. (Running out of memory is
// handled as one by new: c_library/memory.cpp.)
#include <cstdlib>

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
