#pragma once
// The one failure of the forms runtime. Any operation on a window, a control
// or a runtime object that cannot be carried out raises it, and nothing after
// that operation runs: the innermost Guard's handling runs where the failure
// is raised (a guard on the way may add to it and raise it on), and then the
// program ends with status 1, after the steps that the program registered
// with SetFailureExit (what its objects' destructors would have done on the
// way out). A failing step so abandons the rest of its handler without the
// handler checking each step, and nothing goes on after it.
//
// There are no C++ exceptions: the unwinder and its tables stay out of
// Setup.exe, and the tests run the very path that ships.
//
// RuntimeError stands alone rather than deriving from the standard library's
// exception classes, whose code (and that of the strings they keep) would
// otherwise be linked into Setup.exe.
#include <string>
#include <utility>

namespace forms {

class RuntimeError {
 public:
  explicit RuntimeError(std::string what) : what_(std::move(what)) {}
  const char* what() const noexcept { return what_.c_str(); }

 private:
  std::string what_;
};

// Fails the operation in progress and ends the program; never returns.
// Without a guard the failure is reported on the error output.
[[noreturn]] void Raise(std::string what);

// What ends the program after a failure's handling (nullptr: nothing more
// than ending it). One program-wide slot; `context` is passed back to `steps`.
using FailureExitSteps = void (*)(void* context);
void SetFailureExit(FailureExitSteps steps, void* context) noexcept;
// Clears the slot if `context` holds it.
void ClearFailureExit(void* context) noexcept;

namespace detail {
// The guards that are running, innermost first. Failures are raised and
// guarded on the window's thread only.
struct GuardFrame {
  GuardFrame* outer;
  void (*handle)(GuardFrame& frame, const RuntimeError& error);
};
extern GuardFrame* innermost_guard;
}  // namespace detail

// Runs body(). A failure raised in it is handed to on_failure(const
// RuntimeError&) where it is raised, which may raise it on to an outer
// guard; the program then ends. body() never goes on after a failure.
template <class Body, class OnFailure>
void Guard(Body&& body, OnFailure&& on_failure) {
  struct Frame : detail::GuardFrame {
    OnFailure* on_failure;
  } frame{{detail::innermost_guard,
           [](detail::GuardFrame& self, const RuntimeError& error) { (*static_cast<Frame&>(self).on_failure)(error); }},
          &on_failure};
  detail::innermost_guard = &frame;
  body();
  detail::innermost_guard = frame.outer;
}

}  // namespace forms
