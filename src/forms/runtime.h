#pragma once
// The boundary between the forms model and a window system. A backend
// implements these operations; the model calls nothing else of it.
#include <cstdint>
#include <string>

#include "forms/control.h"
#include "forms/layout.h"

namespace forms {

using NativeHandle = std::uintptr_t;

struct ScreenInfo {
  int width_px = 1024;
  int height_px = 768;
  int dpi = 96;  // twips per pixel = 1440 / dpi
};

// How the window comes on screen, step by step. It shows at its place and
// paints its first frame before anything else, since that is what the user
// waits for; it gets its owner (which keeps it off the taskbar) before it
// is activated, so that Alt+Tab lists it; work held back until it is on
// screen (the programs Load asked for) starts then; what the first frame does
// not need (the buttons, icons and pointers) is made last.
enum class ShowStep : std::uint8_t {
  PlaceAndShow,  // at the model's place and size, not yet active
  PaintFirstFrame,
  TakeOwner,
  Activate,
  ReleaseHeldWork,  // what waited for the window to show may now run
  CreateDeferred,
};
inline constexpr ShowStep kShowOrder[] = {ShowStep::PlaceAndShow, ShowStep::PaintFirstFrame, ShowStep::TakeOwner,
                                          ShowStep::Activate,     ShowStep::ReleaseHeldWork, ShowStep::CreateDeferred};

class Runtime {
 public:
  virtual ~Runtime() = default;

  // Native objects: one per control, created in creation order; every
  // property write is mirrored (and may fail with RuntimeError). CreatePeer
  // sets control.peer; until then writes are not mirrored.
  virtual void CreatePeer(Control& control) = 0;
  virtual void PropertyChanged(Control& control, Prop property) = 0;
  // An event and the handlers queued behind it have run: a backend that
  // holds back changes (a window's position and size, say) applies them now,
  // one step per native object.
  virtual void EventDone(Form&) {}
  // Natural size of an auto-sized control: a label's caption in its font on
  // one line, or a picture box's picture plus its one-pixel border.
  virtual SizeTwips MeasureAutoSize(const Control& control) = 0;
  // One step of the show, in kShowOrder; a step a backend has no use for
  // does nothing.
  virtual void PerformShowStep(Form& form, ShowStep step) = 0;
  virtual void FocusChanged(Form& form, Control* focus) = 0;
  // The pointer is captured for the window while a left press awaits its
  // release, so that the release is seen wherever it happens.
  virtual void CaptureChanged(Form& form, bool captured) = 0;
  // A push button shows pushed in, or no longer.
  virtual void ShowPressed(Control& button, bool pressed) = 0;
  virtual NativeHandle WindowHandle(const Form& form) = 0;
  // Destroys the window's native objects; the program then ends with status.
  virtual void Unload(Form& form) = 0;
  virtual void EndProgram(int status) = 0;

  // Timers count their interval from the moment they are started.
  virtual void StartTimer(Timer& timer, int interval_ms) = 0;
  virtual void StopTimer(Timer& timer) = 0;

  // Services.
  virtual int MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) = 0;
  virtual ScreenInfo Screen() = 0;
};

}  // namespace forms
