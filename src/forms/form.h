#pragma once
// A top-level window: owns its controls in creation order, knows the focus
// and the tab order, and delivers events one at a time.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/control.h"
#include "forms/runtime.h"

namespace forms {

enum class Key : std::uint8_t { Tab, ShiftTab, Enter, Escape, Space };

class Form : public Control {
 public:
  Form(std::string name, Runtime& runtime);
  ~Form() override;

  Runtime& GetRuntime() const noexcept { return *runtime_; }

  // Window-only attributes, fixed by the definition.
  std::string Icon;
  bool ShowInTaskbar = false;
  std::function<void()> Load;

  // Controls, in creation order.
  template <class T = Control>
  T& Add(Kind kind, std::string name, Control* container) {
    auto owned = std::make_unique<T>(kind, std::move(name), this, container);
    T& control = *owned;
    controls_.push_back(std::move(owned));
    return control;
  }
  Timer& AddTimer(std::string name, Control* container);
  const std::vector<std::unique_ptr<Control>>& Controls() const noexcept { return controls_; }
  Control* Find(std::string_view name) const noexcept;
  // Children of container (nullptr: the window itself), in creation order.
  std::vector<Control*> ChildrenOf(const Control* container) const;

  // Life cycle: Load runs, then the window is shown centred on the screen at
  // its size of that moment, with the focus on the first control in tab order.
  void Start();
  // Unloading the only window ends the program.
  void Unload();
  // A close request from the window system: no handler is connected to
  // closing, so the window unloads at once.
  void RequestClose();
  bool IsLoaded() const noexcept { return state_ != State::Unloaded; }
  bool IsShown() const noexcept { return state_ == State::Shown; }
  NativeHandle hWnd() const { return runtime_->WindowHandle(*this); }

  // Focus and keyboard.
  Control* ActiveControl() const noexcept { return focus_; }
  bool CanFocus(const Control& control) const noexcept;
  void SetFocus(Control* control);
  void FocusNext(bool backward = false);
  void KeyPressed(Key key);

  // Runs an event handler now, or after the one running now returns. A
  // failure in a handler ends the program (the runtime's default handling).
  void Deliver(std::function<void()> event);
  // A click on a button or label, delivered only while the control can take it.
  void DeliverClick(Control& control);
  // A timer's tick. Ticks that fall due while a handler runs (a question
  // waiting for its answer, say) fold into one, delivered when it returns.
  void DeliverTick(Timer& timer);

  // Creation steps, used by the definition loader.
  void CreateNative(Control& control);
  void ApplyAutoSize(Control& control);

  // Called by every property write.
  void OnPropertyWritten(Control& control, Prop property);

  // The runtime's default handling of a failure that no handler traps: a
  // diagnostic on the error output, the window unloaded and the program
  // ended with a non-zero status. Backends route failures outside event
  // handlers (painting, say) here too.
  void Fail(const std::exception& error);

 private:
  enum class State : std::uint8_t { Creating, Loading, Shown, Unloaded };
  void UpdateTimer(Timer& timer);
  std::vector<Control*> TabOrder() const;

  Runtime* runtime_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<Timer*> running_timers_;
  Control* focus_ = nullptr;
  State state_ = State::Creating;
  bool busy_ = false;
  std::deque<std::function<void()>> pending_;
};

}  // namespace forms
