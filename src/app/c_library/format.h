#pragma once
// The part of printf that Setup.exe's failure lines use ("%s: unhandled
// run-time error: %s\n"): literal text, %s (a C string; a null one reads
// "(null)", as the system's C library writes it) and %%. Any other
// conversion ends the reading of arguments: the rest of the format is
// written as it stands, so that the line still appears and no argument is
// read as what it is not. error_output.cpp writes the result.
// constexpr, so that tests/pe/c_library_checks.cpp can check it as the
// compiler builds it.
#include <cstddef>

#include "c_library/bytes.h"

namespace c_library {

// next_text() gives each %s its argument; write(text, count) takes the
// output piece by piece.
template <class NextText, class Write>
constexpr void Format(const char* format, NextText&& next_text, Write&& write) {
  const char* unwritten = format;
  const char* at = format;
  for (; *at != '\0'; ++at) {
    if (*at != '%') continue;
    if (at[1] != 's' && at[1] != '%') break;
    write(unwritten, static_cast<std::size_t>(at - unwritten));
    ++at;
    if (*at == '%') {
      write(at, 1);
    } else {
      const char* text = next_text();
      if (text == nullptr) text = "(null)";
      write(text, Length(text));
    }
    unwritten = at + 1;
  }
  write(unwritten, Length(unwritten));
}

}  // namespace c_library
