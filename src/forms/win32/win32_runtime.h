#pragma once
// The forms runtime on real windows, made of parts that each own their
// state: the window tree (the native windows, their geometry, fonts, icons
// and pointer images), the painter, the timers and the screen-reader objects
// (on each picture box's peer); the work of other threads that serves the
// window is the program's, attached to it. The window procedures
// and the message loop only translate window messages into raw events at
// the window's door; the model decides everything else.
#include <windows.h>

#include <memory>
#include <string>

#include "forms/callback.h"
#include "forms/form.h"
#include "forms/layout.h"
#include "forms/runtime.h"
#include "forms/win32/painter.h"
#include "forms/win32/timer_table.h"
#include "forms/win32/window_tree.h"

namespace forms::win32 {

struct Options {
  int dpi = 0;  // 0: the system's dpi; tests set another to check scaling
};

// Work of another thread that serves the window (the shell's starts, which
// the program hands to the runtime): held back until the window has first
// shown, and completed before the windows go, at the end and after a failure.
struct WindowWork {
  Callback<void()> release;
  Callback<void()> finish;
};

class Win32Runtime : public Runtime {
 public:
  explicit Win32Runtime(Options options = {});
  ~Win32Runtime() override;
  Win32Runtime(const Win32Runtime&) = delete;
  Win32Runtime& operator=(const Win32Runtime&) = delete;

  // Runs the message loop until EndProgram; returns its status.
  int Run();
  // Handles the messages that arrive within wait_ms (at least those already
  // queued); false once the program has ended.
  bool ProcessMessages(DWORD wait_ms);
  bool Ended() const noexcept { return ended_; }
  int ExitStatus() const noexcept { return exit_status_; }

  int Dpi() const noexcept { return tree_.Scale().dpi; }
  HWND WindowOf(const Control& control) const noexcept { return tree_.WindowOf(control); }
  // A control's rectangle in pixels of its container's client area (of the
  // screen for the window).
  RECT PixelRect(const Control& control) const { return tree_.PixelRect(control); }
  // A point of `window` (HWND_DESKTOP: of the screen) in twips of the
  // window's client area.
  PointTwips ToWindowTwips(HWND window, POINT point) const;
  // The pointer shown over a label with a mouse icon at the dpi in force
  // (null before it exists).
  HCURSOR LinkCursor() const noexcept { return tree_.LinkCursor(); }

  // Runtime, by the part that serves it. The window tree:
  void CreatePeer(Control& control) override;
  void PropertyChanged(Control& control, Prop property) override;
  SizeTwips MeasureAutoSize(const Control& control) override;
  void EventDone(Form& form) override;
  NativeHandle WindowHandle(const Form& form) override;
  // The show, and the end (win32_runtime.cpp):
  void PerformShowStep(Form& form, ShowStep step) override;
  void Unload(Form& form) override;
  void EndProgram(int status) override;
  // Input (pointer.cpp):
  void FocusChanged(Form& form, Control* focus) override;
  void CaptureChanged(Form& form, bool captured) override;
  void ShowPressed(Control& button, bool pressed) override;
  // Timers:
  void StartTimer(Timer& timer, int interval_ms) override;
  void StopTimer(Timer& timer) override;
  // The desktop's services (services.cpp):
  int MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) override;
  ScreenInfo Screen() override;

  // The window's work on another thread; one at a time.
  void Attach(WindowWork work) noexcept { work_ = work; }

 private:
  static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  template <LRESULT (Win32Runtime::*Handle)(Peer&, HWND, UINT, WPARAM, LPARAM)>
  static LRESULT CALLBACK GuardedProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT FormMessage(Peer& peer, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT PictureMessage(Peer& peer, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // Rescales everything for a new dpi (the window moved to another monitor,
  // or the user changed the scale); suggested is the system's new window rect.
  void OnDpiChanged(int dpi, const RECT* suggested);
  static void RegisterClasses(HINSTANCE module);
  // The one way the windows go: on Unload, after a failure and at the end.
  void TearDown();
  void Shutdown();
  bool Live() const noexcept { return tree_.Live(); }
  Form& Window() const noexcept { return tree_.Window(); }

  // Pointer and keyboard (pointer.cpp, message_loop.cpp).
  // A mouse message for any of the launcher's windows; false: not one.
  bool OnMouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  bool OnSetCursor();
  bool InterceptKey(const MSG& message);
  void Dispatch(MSG& message);
  void ApplyWritesOutsideEvents();

  WindowTree tree_;
  Painter painter_;
  TimerTable timers_;
  WindowWork work_;
  bool ended_ = false;
  int exit_status_ = 0;
};

}  // namespace forms::win32
