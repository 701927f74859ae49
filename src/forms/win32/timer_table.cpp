#include "forms/win32/timer_table.h"

#include <algorithm>

#include "forms/error.h"

namespace forms::win32 {

UINT_PTR TimerTable::IdOf(Timer& timer) {
  const auto it = std::find_if(slots_.begin(), slots_.end(), [&timer](const Slot& s) { return s.timer == &timer; });
  if (it != slots_.end()) return static_cast<UINT_PTR>(it - slots_.begin()) + 1;
  slots_.push_back({&timer});
  return slots_.size();
}

// Before the window exists a timer is only given its id.
void TimerTable::Start(HWND window, Timer& timer, int interval_ms) {
  const UINT_PTR id = IdOf(timer);
  if (window == nullptr) return;
  if (::SetTimer(window, id, static_cast<UINT>(interval_ms), nullptr) == 0)
    Raise("timer " + timer.Name() + " could not start");
  slots_[id - 1].running = true;
}

void TimerTable::Stop(HWND window, Timer& timer) {
  const UINT_PTR id = IdOf(timer);
  if (window != nullptr) ::KillTimer(window, id);
  slots_[id - 1].running = false;
}

void TimerTable::StopAll() noexcept {
  for (Slot& slot : slots_) slot.running = false;
}

Timer* TimerTable::Due(UINT_PTR id) const noexcept {
  return id != 0 && id <= slots_.size() && slots_[id - 1].running ? slots_[id - 1].timer : nullptr;
}

}  // namespace forms::win32
