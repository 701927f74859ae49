#pragma once
// One window-system timer per model timer, on the form's window. Timer ids
// are positions in the table, never pointers, so a late WM_TIMER for a timer
// that was stopped finds nothing to run.
#include <windows.h>

#include <vector>

#include "forms/control.h"

namespace forms::win32 {

class TimerTable {
 public:
  // Fails (forms::Raise) when the window system refuses the timer.
  void Start(HWND window, Timer& timer, int interval_ms);
  void Stop(HWND window, Timer& timer);
  // The window's timers went with it.
  void StopAll() noexcept;
  // The running timer a WM_TIMER id belongs to, or nullptr.
  Timer* Due(UINT_PTR id) const noexcept;

 private:
  struct Slot {
    Timer* timer = nullptr;
    bool running = false;
  };
  UINT_PTR IdOf(Timer& timer);

  std::vector<Slot> slots_;
};

}  // namespace forms::win32
