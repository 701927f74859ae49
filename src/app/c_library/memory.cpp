// The C library's memory, and the C++ run-time's, on the process's heap:
// malloc and free, which the static C++ run-time also calls (its new[] and
// delete[] reach the forms below), and the plain forms of new and delete.
// The heap serialises its callers, so the shell's thread allocates safely
// too. Running out of memory is a fault in the launcher: new ends the
// program (abort) rather than throwing.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" {

// At least one byte, so that every allocation has an address of its own.
void* malloc(std::size_t size) { return ::HeapAlloc(::GetProcessHeap(), 0, size != 0 ? size : 1); }

void free(void* block) {
  if (block != nullptr) ::HeapFree(::GetProcessHeap(), 0, block);
}

}  // extern "C"

void* operator new(std::size_t size) {
  if (void* const block = std::malloc(size)) return block;
  std::abort();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
