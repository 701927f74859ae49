#include "forms/win32/win32_runtime.h"

#include <optional>

#include "forms/error.h"
#include "windows/dpi.h"
#include "windows/system_calls.h"

namespace forms::win32 {

Win32Runtime::Win32Runtime(Options options)
    : tree_(::GetModuleHandleA(nullptr), options.dpi > 0 ? options.dpi : windows::SystemDpi(), options.dpi > 0,
            &Win32Runtime::ButtonProc) {
  RegisterClasses(::GetModuleHandleA(nullptr));
  // A failure ends the program where it is raised; this runtime's own end
  // comes first.
  SetFailureExit([](void* self) { static_cast<Win32Runtime*>(self)->Shutdown(); }, this);
}

Win32Runtime::~Win32Runtime() {
  ClearFailureExit(this);
  Shutdown();
}

// The windows go, and with them their timers; their last messages do not
// reach the model, which may be gone. Safe to repeat.
void Win32Runtime::TearDown() {
  timers_.StopAll();
  tree_.Destroy();
}

// The work attached is completed; the windows go.
void Win32Runtime::Shutdown() {
  if (work_.finish) work_.finish();
  TearDown();
  // A quit request, or anything else posted, that no loop has seen must not
  // reach the next loop on this thread. Only posted messages are taken: a
  // window of the thread that still needs painting (another runtime's) would
  // hand out its paint message forever.
  MSG message;
  while (windows::Calls().peek_message(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {
  }
}

void Win32Runtime::CreatePeer(Control& control) { tree_.Add(control, this); }

void Win32Runtime::PropertyChanged(Control& control, Prop property) { tree_.PropertyChanged(control, property); }

SizeTwips Win32Runtime::MeasureAutoSize(const Control& control) { return tree_.MeasureAutoSize(control); }

// The show, one step at a time: the hidden window moves, sizes and shows in
// one step without being activated (activation is the slowest part of a
// show), and paints its first frame; it then gets its owner and is made the
// active window.
void Win32Runtime::PerformShowStep(Form&, ShowStep step) {
  const HWND window = tree_.FormWindow();
  switch (step) {
    case ShowStep::PlaceAndShow:
      tree_.PlaceAndShow();
      break;
    case ShowStep::PaintFirstFrame:
      ::UpdateWindow(window);
      break;
    case ShowStep::TakeOwner:
      tree_.TakeOwner();
      break;
    case ShowStep::Activate:
      ::ShowWindow(window, SW_SHOWNORMAL);
      ::SetForegroundWindow(window);
      break;
    case ShowStep::ReleaseHeldWork:
      if (work_.release) work_.release();
      break;
    case ShowStep::CreateDeferred:
      tree_.CreateDeferred();
      break;
  }
}

void Win32Runtime::EventDone(Form&) { tree_.ApplyMovedGeometry(); }

// The window on a monitor of another dpi, or after the user changed the
// scale: the model measures again what depends on the scale (Form::DpiChanged)
// and keeps only the top-left corner of the suggested rectangle, since its
// size is the one scaled from the old pixels; every native window is then
// placed again from the model, the buttons get fonts of the new size and the
// artwork is scaled again on its next paint.
void Win32Runtime::OnDpiChanged(int dpi, const RECT* suggested) {
  if (dpi <= 0 || dpi == Dpi()) return;
  tree_.SetDpi(dpi);
  std::optional<PointTwips> moved_to;
  if (suggested != nullptr)
    moved_to = PointTwips{tree_.Scale().Twips(suggested->left), tree_.Scale().Twips(suggested->top)};
  Window().DpiChanged(moved_to);
  tree_.Rescale();
}

NativeHandle Win32Runtime::WindowHandle(const Form&) { return reinterpret_cast<NativeHandle>(tree_.FormWindow()); }

void Win32Runtime::Unload(Form&) { TearDown(); }

void Win32Runtime::StartTimer(Timer& timer, int interval_ms) { timers_.Start(tree_.FormWindow(), timer, interval_ms); }

void Win32Runtime::StopTimer(Timer& timer) { timers_.Stop(tree_.FormWindow(), timer); }

void Win32Runtime::EndProgram(int status) {
  if (ended_) return;
  ended_ = true;
  exit_status_ = status;
  ::PostQuitMessage(status);
}

}  // namespace forms::win32
