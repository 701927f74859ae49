// Setup.exe replaces pieces of the C++ run-time with smaller ones
// (src/app/lean_runtime.cpp). This program links the same replacements and
// checks that exceptions are still thrown and caught, many times over, and
// that the failure line the forms runtime prints still comes out.
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void FailOnOdd(int i) {
  if (i % 2 != 0) throw Failure("odd " + std::to_string(i));
}

}  // namespace

int main() {
  int caught = 0;
  std::string last;
  for (int i = 0; i < 1000; ++i) {
    try {
      FailOnOdd(i);
    } catch (const std::exception& error) {
      ++caught;
      last = error.what();
    }
  }
  std::fprintf(stdout, "%s: unhandled run-time error: %s (%d caught)\n", "FrmSetup", last.c_str(), caught);
  std::fflush(stdout);
  return caught == 500 && last == "odd 999" ? 0 : 1;
}
