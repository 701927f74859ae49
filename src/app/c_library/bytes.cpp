// The C library's byte and text functions, by their C names: those the
// launcher and the static C++ run-time call, and the four (memcpy, memmove,
// memset, memcmp) that the compiler may call in code it generates.
#include "c_library/bytes.h"

#include <cstddef>

namespace {

unsigned char* Bytes(void* block) { return static_cast<unsigned char*>(block); }
const unsigned char* Bytes(const void* block) { return static_cast<const unsigned char*>(block); }

}  // namespace

extern "C" {

void* memcpy(void* to, const void* from, std::size_t count) {
  return c_library::CopyBytes(Bytes(to), Bytes(from), count);
}

void* memmove(void* to, const void* from, std::size_t count) {
  return c_library::MoveBytes(Bytes(to), Bytes(from), count);
}

void* memset(void* to, int value, std::size_t count) {
  return c_library::FillBytes(Bytes(to), static_cast<unsigned char>(value), count);
}

int memcmp(const void* a, const void* b, std::size_t count) {
  return c_library::CompareBytes(Bytes(a), Bytes(b), count);
}

void* memchr(const void* in, int value, std::size_t count) {
  return const_cast<unsigned char*>(c_library::FindByte(Bytes(in), static_cast<unsigned char>(value), count));
}

std::size_t strlen(const char* text) { return c_library::Length(text); }

std::size_t wcslen(const wchar_t* text) { return c_library::Length(text); }

int strncmp(const char* a, const char* b, std::size_t count) { return c_library::CompareText(a, b, count); }

}  // extern "C"
