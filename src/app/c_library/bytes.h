#pragma once
// The byte and text functions of the C library that Setup.exe uses, as plain
// loops (bytes.cpp gives them their C names). They work on typed pointers
// and are constexpr, so that tests/pe/c_library_checks.cpp can check them as
// the compiler builds them. The launcher's large copies (the artwork's
// pixels) are inlined by the compiler and do not come here.
#include <cstddef>
#include <functional>

namespace c_library {

constexpr unsigned char* CopyBytes(unsigned char* to, const unsigned char* from, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
  return to;
}

// Blocks may overlap: a target that starts after its source is copied from
// the end, so that no byte is overwritten before it is read.
constexpr unsigned char* MoveBytes(unsigned char* to, const unsigned char* from, std::size_t count) {
  if (!std::less<const unsigned char*>()(from, to)) return CopyBytes(to, from, count);
  for (std::size_t i = count; i > 0; --i) to[i - 1] = from[i - 1];
  return to;
}

constexpr unsigned char* FillBytes(unsigned char* to, unsigned char value, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) to[i] = value;
  return to;
}

// Less than, equal to or greater than 0 as the first byte that differs,
// read as unsigned, is smaller in `a`, absent or greater.
constexpr int CompareBytes(const unsigned char* a, const unsigned char* b, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

constexpr const unsigned char* FindByte(const unsigned char* in, unsigned char value, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (in[i] == value) return in + i;
  }
  return nullptr;
}

template <class Char>
constexpr std::size_t Length(const Char* text) {
  std::size_t length = 0;
  while (text[length] != Char()) ++length;
  return length;
}

// Two texts compared as CompareBytes does, up to the first NUL or `count`
// characters, whichever comes first.
constexpr int CompareText(const char* a, const char* b, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) break;
  }
  return 0;
}

}  // namespace c_library
