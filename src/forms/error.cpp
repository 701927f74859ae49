#include "forms/error.h"

#include <cstdio>
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

detail::GuardFrame* detail::innermost_guard = nullptr;

// The guard's handling runs here; a failure raised by that handling goes to
// the next guard out. Nothing returns to the failing code: the registered
// steps end what the program had under way, and the program ends as it does
// after a failure when its objects are gone.
void Raise(std::string what) {
  const RuntimeError error(std::move(what));
  if (detail::GuardFrame* const frame = detail::innermost_guard) {
    detail::innermost_guard = frame->outer;
    frame->handle(*frame, error);
  } else {
    std::fprintf(stderr, "unhandled run-time error: %s\n", error.what());
  }
  if (exit_steps != nullptr) {
    const FailureExitSteps steps = exit_steps;
    void* const context = exit_context;
    SetFailureExit(nullptr, nullptr);  // once, even if they fail
    steps(context);
  }
  std::exit(1);
}

}  // namespace forms
