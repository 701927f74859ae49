#include "forms/form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "forms/error.h"
#include "forms/layout.h"

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

Control& Form::Add(Kind kind, std::string name, Control* container) {
  if (kind == Kind::Timer) return AddTimer(std::move(name), container);
  controls_.push_back(std::make_unique<Control>(kind, std::move(name), this, container));
  return *controls_.back();
}

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

Control& Form::Get(std::string_view name) const {
  Control* control = Find(name);
  if (control == nullptr) Raise(Name() + " has no control named " + std::string(name));
  return *control;
}

// Timers are the one kind of control with an object type of their own.
Timer& Form::GetTimer(std::string_view name) const {
  Control& control = Get(name);
  if (control.GetKind() != Kind::Timer) Raise(std::string(name) + " of " + Name() + " is not a timer");
  return static_cast<Timer&>(control);
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
      if (focus_ == &control && !CanFocus(control)) FocusNext(false);
      // A button disabled while pressed lets go of the press.
      if (pressed_ == &control && !control.Enabled) SetPressed(nullptr, false);
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
// enabled timer again does not restart its count; changing the interval
// does. No timer ticks more often than the window system's floor.
void Form::UpdateTimer(Timer& timer) {
  const bool should_run = timer.Enabled && timer.Interval > 0 && state_ != State::Unloaded;
  const auto it = std::find(running_timers_.begin(), running_timers_.end(), &timer);
  if (it != running_timers_.end()) {
    runtime_->StopTimer(timer);
    running_timers_.erase(it);
  }
  if (should_run) {
    runtime_->StartTimer(timer, std::max(timer.Interval.Get(), kTimerFloorMs));
    running_timers_.push_back(&timer);
  }
}

void Form::Start() {
  state_ = State::Loading;
  if (Load) Deliver(Load);
  if (state_ != State::Loading) return;  // unloaded during load
  state_ = State::Shown;
  // Centred on the screen at the size the window has now, in whole pixels as
  // the window system places windows.
  const ScreenInfo screen = runtime_->Screen();
  const PixelGrid grid{screen.dpi};
  Left = grid.Twips((screen.width_px - grid.Px(Width)) / 2);
  Top = grid.Twips((screen.height_px - grid.Px(Height)) / 2);
  Visible.Init(true);
  for (const ShowStep step : kShowOrder) runtime_->PerformShowStep(*this, step);
  const auto order = TabOrder();
  const auto first = std::find_if(order.begin(), order.end(), [this](Control* c) { return CanFocus(*c); });
  SetFocus(first == order.end() ? nullptr : *first);
}

void Form::Unload() {
  if (state_ != State::Unloaded) Close(0);
}

// The window goes with its timers and whatever waited to run; the program
// ends with status.
void Form::Close(int status) {
  for (Timer* timer : running_timers_) runtime_->StopTimer(*timer);
  running_timers_.clear();
  state_ = State::Unloaded;
  focus_ = pressed_ = nullptr;
  pending_.clear();
  next_pending_ = 0;
  runtime_->Unload(*this);
  runtime_->EndProgram(status);
}

void Form::Fail(const RuntimeError& error) {
  std::fprintf(stderr, "%s: unhandled run-time error: %s\n", Name().c_str(), error.what());
  std::fflush(stderr);
  if (state_ != State::Unloaded) Close(1);
}

// What was queued while a handler ran runs after it, in order; the window's
// native objects catch up with the model once the last one returns.
void Form::Deliver(Callback<void()> event) {
  if (state_ == State::Unloaded) return;
  if (busy_) {
    pending_.push_back(std::move(event));
    return;
  }
  busy_ = true;
  Guarded([this, &event] {
    for (;;) {
      event();
      if (next_pending_ == pending_.size() || state_ == State::Unloaded) break;
      event = pending_[next_pending_++];
    }
    pending_.clear();
    next_pending_ = 0;
    busy_ = false;
    if (state_ != State::Unloaded) runtime_->EventDone(*this);
  });
}

// Ticks that fall due while a handler runs (a question waiting for its
// answer, say) fold into one, delivered when it returns.
void Form::TimerDue(Timer& timer) {
  if (state_ == State::Unloaded || timer.tick_pending_) return;
  timer.tick_pending_ = true;
  Deliver([&timer] {
    timer.tick_pending_ = false;
    if (timer.Enabled && timer.Tick) timer.Tick();
  });
}

// Twips stay the unit; what was measured in screen pixels is measured again
// at the new scale, as at creation: auto-sized labels their captions,
// auto-sized picture boxes their picture and a border of one new pixel. A window that stood
// fitted to its picture box (as large as it, the box at its corner) is
// fitted again; a window still opening keeps its size, and the animation
// goes on from the values it reads back. The window stands where the window
// system put it.
void Form::DpiChanged(std::optional<PointTwips> moved_to) {
  if (state_ == State::Unloaded) return;
  if (moved_to) {
    Left = moved_to->x;
    Top = moved_to->y;
  }
  for (const auto& c : controls_) {
    if (!c->AutoSize) continue;
    const bool fitted = c->GetKind() == Kind::PictureBox && c->Container() == nullptr && c->Left == 0.0f &&
                        c->Top == 0.0f && Width == c->Width && Height == c->Height;
    ApplyAutoSize(*c);
    if (fitted) {
      Width = c->Width;
      Height = c->Height;
    }
  }
}

}  // namespace forms
