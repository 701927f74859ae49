// One window-system timer per model timer, on the form's window. Timer ids
// are positions in a table, never pointers.
#include <algorithm>

#include "forms/error.h"
#include "forms/win32/win32_runtime.h"

namespace forms::win32 {

UINT_PTR Win32Runtime::TimerId(Timer& timer) {
  const auto it =
      std::find_if(timers_.begin(), timers_.end(), [&timer](const TimerSlot& s) { return s.timer == &timer; });
  if (it != timers_.end()) return static_cast<UINT_PTR>(it - timers_.begin()) + 1;
  timers_.push_back({&timer});
  return timers_.size();
}

void Win32Runtime::StartTimer(Timer& timer, int interval_ms) {
  const UINT_PTR id = TimerId(timer);
  if (!form_window_) return;
  if (::SetTimer(form_window_.get(), id, static_cast<UINT>(interval_ms), nullptr) == 0)
    Raise("timer " + timer.Name() + " could not start");
  timers_[id - 1].running = true;
}

void Win32Runtime::StopTimer(Timer& timer) {
  const UINT_PTR id = TimerId(timer);
  if (form_window_) ::KillTimer(form_window_.get(), id);
  timers_[id - 1].running = false;
}

void Win32Runtime::OnTimer(UINT_PTR id) {
  if (id == 0 || id > timers_.size() || !timers_[id - 1].running) return;
  form_->TimerDue(*timers_[id - 1].timer);
}

}  // namespace forms::win32
