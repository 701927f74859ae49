#include "forms/headless/headless_runtime.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "forms/error.h"

namespace forms::headless {
namespace {

// Counts the characters of a UTF-8 text as half-width (ASCII) or full-width.
void CountWidths(const std::string& text, int& half, int& full) {
  half = full = 0;
  for (unsigned char c : text) {
    if (c < 0x80)
      ++half;
    else if ((c & 0xC0) != 0x80)
      ++full;  // lead byte of a multi-byte character
  }
}

}  // namespace

HeadlessRuntime::HeadlessRuntime() = default;

void HeadlessRuntime::CreatePeer(Control& control) {
  if (control.GetKind() == Kind::Form) form_ = static_cast<Form*>(&control);
  control.peer = &control;
  created.push_back(control.Name());
}

void HeadlessRuntime::FailOn(const std::string& control, Prop property, int nth) {
  failures_.push_back({control, property, nth});
}

void HeadlessRuntime::PropertyChanged(Control& control, Prop property) {
  for (auto it = failures_.begin(); it != failures_.end(); ++it) {
    if (it->control == control.Name() && it->property == property && --it->remaining == 0) {
      failures_.erase(it);
      Raise("property of " + control.Name() + " could not be set");
    }
  }
}

// Text in the window's font: 6 pixels a half-width character, 12 a
// full-width one, 12 high at 9 points; in twips this holds at any dpi.
SizeTwips HeadlessRuntime::MeasureAutoSize(const Control& control) {
  if (control.GetKind() == Kind::PictureBox) {
    const auto it = pictures.find(control.Picture);
    if (it == pictures.end()) return {control.Width, control.Height};
    return AutoSizeOf(control, it->second, Grid());
  }
  int half = 0, full = 0;
  CountWidths(control.Caption, half, full);
  const float scale = control.Font.Size / 9.0f;
  return {static_cast<float>(half * 90 + full * 180) * scale, 180.0f * scale};
}

void HeadlessRuntime::PerformShowStep(Form&, ShowStep step) {
  if (step == ShowStep::PlaceAndShow) shown_ = true;
}
void HeadlessRuntime::FocusChanged(Form&, Control*) {}
void HeadlessRuntime::CaptureChanged(Form&, bool captured) { captured_ = captured; }
void HeadlessRuntime::ShowPressed(Control& button, bool pressed) {
  if (pressed)
    shown_pressed_ = &button;
  else if (shown_pressed_ == &button)
    shown_pressed_ = nullptr;
}
NativeHandle HeadlessRuntime::WindowHandle(const Form&) { return 0x000A0C2E; }

void HeadlessRuntime::Unload(Form&) {
  shown_ = false;
  timers_.clear();
}

void HeadlessRuntime::EndProgram(int status) {
  if (ended_) return;
  ended_ = true;
  exit_status_ = status;
  ended_at_ = now_;
  shown_ = false;
  timers_.clear();
}

void HeadlessRuntime::StartTimer(Timer& timer, int interval_ms) {
  timers_.push_back({&timer, interval_ms, now_ + interval_ms, ++sequence_});
}

void HeadlessRuntime::StopTimer(Timer& timer) {
  std::erase_if(timers_, [&timer](const Running& r) { return r.timer == &timer; });
}

void HeadlessRuntime::Advance(long long ms) {
  const long long until = now_ + ms;
  while (!ended_) {
    const auto next = std::min_element(timers_.begin(), timers_.end(), [](const Running& a, const Running& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == timers_.end() || next->due > until) break;
    now_ = next->due;
    Timer* timer = next->timer;
    next->due += next->interval;
    Enter([this, timer] { form_->TimerDue(*timer); });
  }
  now_ = until;
}

int HeadlessRuntime::MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) {
  questions.push_back({WindowHandle(owner), prompt, style, title, now_});
  return NextAnswer();
}

Control* HeadlessRuntime::ControlAt(int x, int y) const {
  return form_ != nullptr ? form_->ControlAt({Grid().Twips(x), Grid().Twips(y)}) : nullptr;
}

void HeadlessRuntime::MoveTo(int x, int y) {
  x_ = x;
  y_ = y;
  Enter([this] { form_->PointerMoved(Pointer(), buttons_, 0); });
}

void HeadlessRuntime::Press(int button) {
  buttons_ |= button;
  Enter([this, button] { form_->PointerPressed(button, Pointer(), buttons_, 0); });
}

void HeadlessRuntime::Release(int button) {
  buttons_ &= ~button;
  Enter([this, button] { form_->PointerReleased(button, Pointer(), buttons_, 0); });
}

void HeadlessRuntime::ClickAt(int x, int y) {
  MoveTo(x, y);
  Press(kLeftButton);
  Release(kLeftButton);
}

void HeadlessRuntime::Key(forms::Key key, bool repeat) {
  Enter([this, key, repeat] { form_->KeyPressed(key, repeat); });
}

void HeadlessRuntime::RequestClose() {
  Enter([this] { form_->RequestClose(); });
}

void HeadlessRuntime::MoveToDpi(int dpi, int left, int top) {
  screen.dpi = dpi;
  Enter([this, left, top] { form_->DpiChanged(PointTwips{Grid().Twips(left), Grid().Twips(top)}); });
}

}  // namespace forms::headless
