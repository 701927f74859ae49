#include "forms/error.h"

#include <cstdlib>

namespace forms {
namespace {

FailureExitSteps exit_steps = nullptr;
void* exit_context = nullptr;

}  // namespace

void SetFailureExit(FailureExitSteps steps, void* context) noexcept {
  exit_steps = steps;
  exit_context = context;
}

void ClearFailureExit(void* context) noexcept {
  if (exit_context == context) SetFailureExit(nullptr, nullptr);
}

#if __cpp_exceptions

void Raise(std::string what) { throw RuntimeError(std::move(what)); }

#else

detail::GuardFrame* detail::innermost_guard = nullptr;

// The guard's handling runs here, as its catch would; a failure raised by
// that handling goes to the next guard out. Nothing returns to the failing
// code: the registered steps end what the program had under way, and the
// program ends as it does after a failure when its objects are gone.
void Raise(std::string what) {
  const RuntimeError error(std::move(what));
  detail::GuardFrame* const frame = detail::innermost_guard;
  if (frame == nullptr) std::abort();  // no guard: as an uncaught failure
  detail::innermost_guard = frame->outer;
  frame->handle(*frame, error);
  if (exit_steps != nullptr) {
    const FailureExitSteps steps = exit_steps;
    void* const context = exit_context;
    SetFailureExit(nullptr, nullptr);  // once, even if they fail
    steps(context);
  }
  std::exit(1);
}

#endif

}  // namespace forms
