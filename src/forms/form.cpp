#include "forms/form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "forms/error.h"

namespace forms {

Control::Control(Kind kind, std::string name, Form* form, Control* container)
    : kind_(kind), name_(std::move(name)), form_(form), container_(container) {}

Timer::Timer(std::string name, Form* form, Control* container)
    : Control(Kind::Timer, std::move(name), form, container) {
  Enabled.Init(false);
  Visible.Init(false);
}

void PropertyWritten(Control& owner, Prop id) { owner.Owner().OnPropertyWritten(owner, id); }

Form::Form(std::string name, Runtime& runtime)
    : Control(Kind::Form, std::move(name), this, nullptr), runtime_(&runtime) {}

Form::~Form() = default;

Timer& Form::AddTimer(std::string name, Control* container) {
  auto owned = std::make_unique<Timer>(std::move(name), this, container);
  Timer& timer = *owned;
  controls_.push_back(std::move(owned));
  return timer;
}

Control* Form::Find(std::string_view name) const noexcept {
  if (name == Name()) return const_cast<Form*>(this);
  for (const auto& c : controls_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

std::vector<Control*> Form::ChildrenOf(const Control* container) const {
  const Control* wanted = container == this ? nullptr : container;
  std::vector<Control*> children;
  for (const auto& c : controls_)
    if (c->Container() == wanted) children.push_back(c.get());
  return children;
}

void Form::CreateNative(Control& control) {
  runtime_->CreatePeer(control);
  if (control.AutoSize) ApplyAutoSize(control);
  if (control.GetKind() == Kind::Timer) UpdateTimer(static_cast<Timer&>(control));
}

void Form::ApplyAutoSize(Control& control) {
  const SizeTwips size = runtime_->MeasureAutoSize(control);
  control.Width = size.width;
  control.Height = size.height;
}

void Form::OnPropertyWritten(Control& control, Prop property) {
  if (state_ == State::Unloaded || control.peer == nullptr) return;
  runtime_->PropertyChanged(control, property);
  switch (property) {
    case Prop::Enabled:
    case Prop::Visible:
    case Prop::Interval:
      if (control.GetKind() == Kind::Timer) UpdateTimer(static_cast<Timer&>(control));
      // A control that can no longer hold the focus hands it on in tab order.
      if (focus_ == &control && !CanFocus(control)) FocusNext();
      break;
    case Prop::Caption:
    case Prop::Font:
      if (control.AutoSize && control.GetKind() == Kind::Label) ApplyAutoSize(control);
      break;
    default:
      break;
  }
}

// A timer counts while it is enabled with a non-zero interval. Enabling an
// enabled timer again does not restart its count; changing the interval does.
void Form::UpdateTimer(Timer& timer) {
  const bool should_run = timer.Enabled && timer.Interval > 0 && state_ != State::Unloaded;
  const auto it = std::find(running_timers_.begin(), running_timers_.end(), &timer);
  const bool running = it != running_timers_.end();
  if (running) {
    runtime_->StopTimer(timer);
    running_timers_.erase(it);
  }
  if (should_run) {
    runtime_->StartTimer(timer);
    running_timers_.push_back(&timer);
  }
}

void Form::Start() {
  state_ = State::Loading;
  if (Load) Deliver(Load);
  if (state_ != State::Loading) return;  // unloaded or failed during load
  state_ = State::Shown;
  // Centred on the screen at the size the window has now, in whole pixels as
  // the window system places windows.
  const ScreenInfo screen = runtime_->Screen();
  const float twips_per_px = 1440.0f / static_cast<float>(screen.dpi);
  const long width_px = std::lround(Width / twips_per_px);
  const long height_px = std::lround(Height / twips_per_px);
  Left = static_cast<float>((screen.width_px - width_px) / 2) * twips_per_px;
  Top = static_cast<float>((screen.height_px - height_px) / 2) * twips_per_px;
  Visible.Init(true);
  runtime_->ShowForm(*this);
  const auto order = TabOrder();
  const auto first = std::find_if(order.begin(), order.end(), [this](Control* c) { return CanFocus(*c); });
  SetFocus(first == order.end() ? nullptr : *first);
}

void Form::Unload() {
  if (state_ == State::Unloaded) return;
  for (Timer* timer : running_timers_) runtime_->StopTimer(*timer);
  running_timers_.clear();
  state_ = State::Unloaded;
  focus_ = nullptr;
  pending_.clear();
  runtime_->Unload(*this);
  runtime_->EndProgram(0);
}

void Form::RequestClose() { Unload(); }

bool Form::CanFocus(const Control& control) const noexcept {
  if (state_ == State::Unloaded || !control.TabStop || !control.Enabled || !control.Visible) return false;
  const Kind kind = control.GetKind();
  if (kind != Kind::PictureBox && kind != Kind::CommandButton) return false;
  for (const Control* c = control.Container(); c != nullptr; c = c->Container())
    if (!c->Enabled || !c->Visible) return false;
  return true;
}

std::vector<Control*> Form::TabOrder() const {
  std::vector<Control*> order;
  for (const auto& c : controls_) order.push_back(c.get());
  std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->TabIndex < b->TabIndex; });
  return order;
}

void Form::SetFocus(Control* control) {
  if (control != nullptr && !CanFocus(*control)) return;
  if (focus_ == control) return;
  focus_ = control;
  runtime_->FocusChanged(*this, control);
}

void Form::FocusNext(bool backward) {
  auto order = TabOrder();
  if (backward) std::reverse(order.begin(), order.end());
  const auto here = std::find(order.begin(), order.end(), focus_);
  const std::size_t start = here == order.end() ? order.size() - 1 : static_cast<std::size_t>(here - order.begin());
  for (std::size_t step = 1; step <= order.size(); ++step) {
    Control* candidate = order[(start + step) % order.size()];
    if (CanFocus(*candidate)) {
      SetFocus(candidate);
      return;
    }
  }
  focus_ = nullptr;
  runtime_->FocusChanged(*this, nullptr);
}

// Neither button is the window's default or cancel button: Enter and Space
// press only the focused button, Esc presses nothing.
void Form::KeyPressed(Key key) {
  if (state_ != State::Shown) return;
  switch (key) {
    case Key::Tab:
      FocusNext(false);
      break;
    case Key::ShiftTab:
      FocusNext(true);
      break;
    case Key::Enter:
    case Key::Space:
      if (focus_ != nullptr && focus_->GetKind() == Kind::CommandButton) DeliverClick(*focus_);
      break;
    case Key::Escape:
      break;
  }
}

void Form::DeliverClick(Control& control) {
  if (state_ != State::Shown || !control.Enabled || !control.Click) return;
  Deliver([&control] {
    if (control.Enabled && control.Click) control.Click();
  });
}

void Form::DeliverTick(Timer& timer) {
  if (state_ == State::Unloaded || timer.tick_pending_) return;
  timer.tick_pending_ = true;
  Deliver([&timer] {
    timer.tick_pending_ = false;
    if (timer.Enabled && timer.Tick) timer.Tick();
  });
}

void Form::Deliver(std::function<void()> event) {
  if (state_ == State::Unloaded) return;
  if (busy_) {
    pending_.push_back(std::move(event));
    return;
  }
  busy_ = true;
  for (;;) {
    try {
      event();
    } catch (const std::exception& error) {
      busy_ = false;
      Fail(error);
      return;
    }
    if (pending_.empty() || state_ == State::Unloaded) break;
    event = std::move(pending_.front());
    pending_.pop_front();
  }
  pending_.clear();
  busy_ = false;
}

void Form::Fail(const std::exception& error) {
  if (state_ == State::Unloaded) return;
  std::fprintf(stderr, "%s: unhandled run-time error: %s\n", Name().c_str(), error.what());
  std::fflush(stderr);
  for (Timer* timer : running_timers_) runtime_->StopTimer(*timer);
  running_timers_.clear();
  state_ = State::Unloaded;
  focus_ = nullptr;
  pending_.clear();
  runtime_->Unload(*this);
  runtime_->EndProgram(1);
}

}  // namespace forms
