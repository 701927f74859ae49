#pragma once
// A top-level window: owns its controls in creation order, knows the focus
// and the tab order, and delivers events one at a time. Every rule of the
// window lives here: which control takes the pointer, what makes a click,
// where the focus goes, what a key does, how a close request is met and how
// often a timer may tick. A backend only hands raw window-system events to
// the door below and mirrors property changes onto its native objects.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/control.h"
#include "forms/error.h"
#include "forms/runtime.h"

namespace forms {

enum class Key : std::uint8_t { Tab, ShiftTab, Enter, Escape, Space };

// The shortest interval the window system's timers keep: a timer set to
// less ticks this often.
inline constexpr int kTimerFloorMs = 10;

struct PointTwips {
  float x = 0, y = 0;
};

class Form : public Control {
 public:
  Form(std::string name, Runtime& runtime);
  ~Form() override;

  Runtime& GetRuntime() const noexcept { return *runtime_; }

  // Window-only attributes, fixed by the definition.
  std::string Icon;
  Callback<void()> Load;

  // Controls, in creation order.
  Control& Add(Kind kind, std::string name, Control* container);
  Timer& AddTimer(std::string name, Control* container);
  const std::vector<std::unique_ptr<Control>>& Controls() const noexcept { return controls_; }
  Control* Find(std::string_view name) const noexcept;
  // The control of that name and kind; a missing name or another kind is a
  // failure with a message that names it.
  Control& Get(std::string_view name) const;
  Timer& GetTimer(std::string_view name) const;
  // Children of container (nullptr: the window itself), in creation order.
  std::vector<Control*> ChildrenOf(const Control* container) const;

  // Life cycle: Load runs, then the window is shown centred on the screen at
  // its size of that moment, with the focus on the first control in tab order.
  void Start();
  // Unloading the only window ends the program.
  void Unload();
  bool IsLoaded() const noexcept { return state_ != State::Unloaded; }
  bool IsShown() const noexcept { return state_ == State::Shown; }
  NativeHandle hWnd() const { return runtime_->WindowHandle(*this); }

  // Focus.
  Control* ActiveControl() const noexcept { return focus_; }
  bool CanFocus(const Control& control) const noexcept;
  void SetFocus(Control* control);

  // ---- The door: raw events from the window system, one entry each.
  // Pointer positions are in twips of the window's client area; buttons is
  // the mask of the buttons held after the event (1 left, 2 right, 4
  // middle), shift that of Shift (1), Ctrl (2) and Alt (4).
  void PointerMoved(PointTwips at, int buttons, int shift);
  void PointerPressed(int button, PointTwips at, int buttons, int shift);
  void PointerReleased(int button, PointTwips at, int buttons, int shift);
  // The window system took the pointer capture away (another window, a
  // menu): a press in progress makes no click.
  void CaptureLost();
  // repeat: the key is held and the keyboard repeats it.
  void KeyPressed(Key key, bool repeat = false);
  // A request to close from anywhere: the close message, the owner closed,
  // the end of the session, the window destroyed from outside. No handler
  // is connected to closing, so the window unloads at once, even while a
  // handler waits for an answer; what that handler does afterwards changes
  // nothing.
  void RequestClose();
  void TimerDue(Timer& timer);
  // The screen's dpi changed; moved_to is where the window system placed
  // the window, when it did. What was measured in screen pixels is measured
  // again at the new scale, so the window is the one opened at that dpi.
  void DpiChanged(std::optional<PointTwips> moved_to);
  // Assistive technology asks for a control's default action: a left press
  // and release at its centre, as the pointer makes a click. False, and
  // nothing done, while a press is in progress or where another control
  // would take the pointer at that point.
  bool DoDefaultAction(Control& control);

  // The control that takes the pointer at a point of the window's client
  // area (the window itself where no control does; null outside it).
  Control* ControlAt(PointTwips at) const;

  // Runs an event handler now, or after the one running now returns. A
  // failure in a handler ends the program (the runtime's default handling).
  void Deliver(Callback<void()> event);

  // The one guard between the window system and the model: every entry of
  // a backend into the window (a raw event at the door, painting, geometry
  // applied between events, a screen reader's request) and every handler
  // runs behind it. A failure in it meets the runtime's default handling
  // (Fail), and the program ends.
  template <class Entry>
  void Guarded(Entry&& entry) {
    Guard(entry, [this](const RuntimeError& error) { Fail(error); });
  }

  // Creation steps, used by the definition loader.
  void CreateNative(Control& control);

  // Called by every property write.
  void OnPropertyWritten(Control& control, Prop property);

  // The runtime's default handling of a failure that no handler traps: a
  // diagnostic on the error output, the window unloaded and the program
  // ended with status 1.
  void Fail(const RuntimeError& error);

 private:
  enum class State : std::uint8_t { Creating, Loading, Shown, Unloaded };
  void Close(int status);
  void UpdateTimer(Timer& timer);
  void ApplyAutoSize(Control& control);
  std::vector<Control*> TabOrder() const;
  void FocusNext(bool backward);
  void DeliverClick(Control& control);
  void DeliverMouse(Control& target, MouseHandler Control::*event, PointTwips at, int buttons, int shift);
  void SetPressed(Control* pressed, bool shown_pressed);

  Runtime* runtime_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<Timer*> running_timers_;
  Control* focus_ = nullptr;
  Control* pressed_ = nullptr;  // pressed with the left button, awaiting its release
  bool pressed_look_ = false;   // a pressed button shows pushed in
  State state_ = State::Creating;
  bool busy_ = false;
  std::vector<Callback<void()>> pending_;  // in order; those before next_pending_ have run
  std::size_t next_pending_ = 0;
};

}  // namespace forms
