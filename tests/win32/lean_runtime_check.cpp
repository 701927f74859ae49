// Setup.exe replaces pieces of the C++ run-time with smaller ones
// (src/app/lean_runtime.cpp). This program links the same replacements and
// checks that exceptions are still thrown and caught, many times over and on
// two threads at once, and that the failure line the forms runtime prints
// still comes out.
#include <windows.h>

#include <cstdio>
#include <string>

#include "forms/error.h"

namespace {

struct Tally {
  int caught = 0;
  std::string last;
};

DWORD WINAPI ThrowOnOdd(void* tally_address) {
  auto& tally = *static_cast<Tally*>(tally_address);
  for (int i = 0; i < 1000; ++i) {
    try {
      if (i % 2 != 0) throw forms::RuntimeError("odd " + std::to_string(i));
    } catch (const forms::RuntimeError& error) {
      ++tally.caught;
      tally.last = error.what();
    }
  }
  return 0;
}

}  // namespace

int main() {
  Tally other, here;
  const HANDLE thread = CreateThread(nullptr, 0, ThrowOnOdd, &other, 0, nullptr);
  ThrowOnOdd(&here);
  WaitForSingleObject(thread, INFINITE);
  std::fprintf(stdout, "%s: unhandled run-time error: %s (%d caught, %d on a second thread)\n", "FrmSetup",
               here.last.c_str(), here.caught, other.caught);
  std::fflush(stdout);
  return here.caught == 500 && other.caught == 500 && here.last == "odd 999" ? 0 : 1;
}
