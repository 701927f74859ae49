// The C library's standard streams as far as the launcher uses them: its
// failure lines, printed with fprintf to stderr (src/forms/error.cpp,
// form.cpp, and main.cpp). Each piece is written at once with WriteFile to
// the process's standard handle, so there is nothing to flush. A line feed
// goes out as carriage return and line feed, as the system's C library
// writes a text stream. A window program started from the desktop has no
// standard handles: its lines are then lost, as they were.
#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#include "c_library/format.h"

namespace {

// stdin, stdout and stderr: only their places are read.
FILE streams[3];

FILE* Stream(unsigned index) { return index < 3 ? &streams[index] : nullptr; }

// Writes the pieces of one line to a standard handle, a line feed as
// carriage return and line feed. Written(): the number of characters
// written (not counting the carriage returns added), or -1 once a write
// fails.
class HandleWriter {
 public:
  explicit HandleWriter(HANDLE handle) : handle_(handle) {}

  void operator()(const char* text, std::size_t count) {
    for (std::size_t start = 0; start < count;) {
      std::size_t end = start;
      while (end < count && text[end] != '\n') ++end;
      Put(text + start, end - start);
      if (end < count) Put("\r\n", 2);
      written_ += static_cast<int>(end - start) + (end < count ? 1 : 0);
      start = end + 1;
    }
  }

  int Written() const { return failed_ ? -1 : written_; }

 private:
  void Put(const char* text, std::size_t count) {
    DWORD done = 0;
    if (count == 0 || failed_) return;
    failed_ = handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE ||
              !::WriteFile(handle_, text, static_cast<DWORD>(count), &done, nullptr) || done != count;
  }

  HANDLE handle_;
  int written_ = 0;
  bool failed_ = false;
};

}  // namespace

extern "C" {

// What the headers' stdin, stdout and stderr call: a function the system's
// C library exports, so that callers reach it through its import slot.
FILE* (*__MINGW_IMP_SYMBOL(__acrt_iob_func))(unsigned) = Stream;

// What the headers' fprintf calls.
int __mingw_vfprintf(FILE* __restrict__ stream, const char* __restrict__ format, va_list arguments) {
  if (stream != Stream(1) && stream != Stream(2)) return -1;
  HandleWriter write(::GetStdHandle(stream == Stream(1) ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE));
  c_library::Format(
      format, [&arguments] { return va_arg(arguments, const char*); }, write);
  return write.Written();
}

int fflush(FILE*) { return 0; }

}  // extern "C"
