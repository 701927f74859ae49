#pragma once
// The one failure of the forms runtime. Any operation on a window, a control
// or a runtime object that cannot be carried out raises it, and the code
// after that operation never runs: a failing step abandons the rest of its
// handler without the handler checking each step. A failure lands in the
// innermost Guard: the event dispatcher's, or the program's own while its
// window is created (a guard on the way may add to it and raise it on).
//
// With C++ exceptions (the tests) a failure is a RuntimeError thrown and
// caught. Setup.exe is built without them, which keeps the unwinder and its
// tables out of it: there a failure runs the innermost guard's handling at
// once, where it was raised, and then ends the program with status 1 after
// the steps that the program registered with SetFailureExit (what its
// objects' destructors would have done on the way out).
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

// Fails the operation in progress; never returns.
[[noreturn]] void Raise(std::string what);

// Without exceptions: what ends the program after a failure's handling
// (nullptr: nothing more than ending it). One program-wide slot;
// `context` is passed back to `steps`.
using FailureExitSteps = void (*)(void* context);
void SetFailureExit(FailureExitSteps steps, void* context) noexcept;
// Clears the slot if `context` holds it.
void ClearFailureExit(void* context) noexcept;

#if __cpp_exceptions

// Runs body(); a failure raised in it abandons the rest of it and is handed
// to on_failure(const RuntimeError&), which may raise it on to an outer guard.
template <class Body, class OnFailure>
void Guard(Body&& body, OnFailure&& on_failure) {
  try {
    body();
  } catch (const RuntimeError& error) {
    on_failure(error);
  }
}

#else

namespace detail {
// The guards that are running, innermost first. Failures are raised and
// guarded on the window's thread only.
struct GuardFrame {
  GuardFrame* outer;
  void (*handle)(GuardFrame& frame, const RuntimeError& error);
};
extern GuardFrame* innermost_guard;
}  // namespace detail

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

#endif

}  // namespace forms
