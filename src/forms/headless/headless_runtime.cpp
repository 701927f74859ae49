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

bool IsWindowed(const Control& c) { return c.GetKind() == Kind::PictureBox || c.GetKind() == Kind::CommandButton; }

long Px(float twips, float twips_per_px) { return std::lround(twips / twips_per_px); }

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
      throw RuntimeError("property of " + control.Name() + " could not be set");
    }
  }
}

// Text in the window's font: 6 pixels a half-width character, 12 a
// full-width one, 12 high at 9 points; in twips this holds at any dpi.
SizeTwips HeadlessRuntime::MeasureAutoSize(const Control& control) {
  const float tpp = TwipsPerPixel();
  if (control.GetKind() == Kind::PictureBox) {
    const auto it = pictures.find(control.Picture);
    if (it == pictures.end()) return {control.Width, control.Height};
    const float picture_tpp = 1440.0f / static_cast<float>(it->second.dpi);
    return {static_cast<float>(it->second.width_px) * picture_tpp + 2 * tpp,
            static_cast<float>(it->second.height_px) * picture_tpp + 2 * tpp};
  }
  int half = 0, full = 0;
  CountWidths(control.Caption, half, full);
  const float scale = control.Font.Size / 9.0f;
  return {static_cast<float>(half * 90 + full * 180) * scale, 180.0f * scale};
}

void HeadlessRuntime::ShowForm(Form&) { shown_ = true; }
void HeadlessRuntime::FocusChanged(Form&, Control*) {}
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

void HeadlessRuntime::StartTimer(Timer& timer) { timers_.push_back({&timer, now_ + timer.Interval, ++sequence_}); }

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
    next->due += timer->Interval;
    form_->DeliverTick(*timer);
  }
  now_ = until;
}

int HeadlessRuntime::MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) {
  questions.push_back({WindowHandle(owner), prompt, style, title, now_});
  if (while_asking) std::exchange(while_asking, nullptr)();
  if (answers.empty()) return 2;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

int HeadlessRuntime::ShellStart(const ShellRequest& request) {
  shell_requests.push_back({request, now_, shown_});
  return 42;
}

HeadlessRuntime::Rect HeadlessRuntime::PixelRect(const Control& control) const {
  const float tpp = TwipsPerPixel();
  if (control.GetKind() == Kind::Form)
    return {0, 0, static_cast<int>(Px(control.Width, tpp)), static_cast<int>(Px(control.Height, tpp))};
  int origin_x = 0, origin_y = 0;
  if (const Control* container = control.Container()) {
    const Rect outer = PixelRect(*container);
    const int border = container->GetKind() == Kind::PictureBox ? 1 : 0;
    origin_x = outer.left + border;
    origin_y = outer.top + border;
  }
  const int left = origin_x + static_cast<int>(Px(control.Left, tpp));
  const int top = origin_y + static_cast<int>(Px(control.Top, tpp));
  return {left, top, left + static_cast<int>(Px(control.Width, tpp)), top + static_cast<int>(Px(control.Height, tpp))};
}

// Windowed children lie above the windowless labels that their container
// draws. Disabled or hidden controls are transparent to the pointer: their
// container takes the input, as the window system does for child windows.
Control* HeadlessRuntime::HitTest(int x, int y) const {
  if (form_ == nullptr || !shown_) return nullptr;
  auto inside = [this, x, y](const Control& c) {
    const Rect r = PixelRect(c);
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  };
  if (!inside(*form_)) return nullptr;
  Control* container = form_;
  for (;;) {
    auto children = form_->ChildrenOf(container);
    std::reverse(children.begin(), children.end());
    Control* hit = nullptr;
    for (Control* c : children)
      if (!hit && IsWindowed(*c) && c->Visible && c->Enabled && inside(*c)) hit = c;
    if (hit != nullptr) {
      container = hit;
      continue;
    }
    for (Control* c : children)
      if (!hit && c->GetKind() == Kind::Label && c->Visible && c->Enabled && inside(*c)) hit = c;
    return hit != nullptr ? hit : container;
  }
}

void HeadlessRuntime::MouseEvent(Control& target, MouseHandler Control::*event, int buttons) {
  if (!(target.*event)) return;
  const Rect r = PixelRect(target);
  const float tpp = TwipsPerPixel();
  const float x = static_cast<float>(x_ - r.left) * tpp;
  const float y = static_cast<float>(y_ - r.top) * tpp;
  form_->Deliver([&target, event, buttons, x, y] {
    if (target.*event) (target.*event)(buttons, 0, x, y);
  });
}

void HeadlessRuntime::MoveTo(int x, int y) {
  x_ = x;
  y_ = y;
  if (Control* target = HitTest(x, y)) MouseEvent(*target, &Control::MouseMove, buttons_);
}

void HeadlessRuntime::Press(int button) {
  buttons_ |= button;
  Control* target = HitTest(x_, y_);
  if (target == nullptr) return;
  if (button == kLeftButton) {
    pressed_ = target;
    if (form_->CanFocus(*target)) form_->SetFocus(target);
  }
  MouseEvent(*target, &Control::MouseDown, buttons_);
}

void HeadlessRuntime::Release(int button) {
  buttons_ &= ~button;
  if (button != kLeftButton) return;
  Control* target = HitTest(x_, y_);
  Control* pressed = pressed_;
  pressed_ = nullptr;
  if (target != nullptr && target == pressed) form_->DeliverClick(*target);
}

void HeadlessRuntime::ClickAt(int x, int y) {
  MoveTo(x, y);
  Press(kLeftButton);
  Release(kLeftButton);
}

void HeadlessRuntime::Key(forms::Key key) {
  if (form_ != nullptr && shown_) form_->KeyPressed(key);
}

void HeadlessRuntime::RequestClose() {
  if (form_ != nullptr && !ended_) form_->RequestClose();
}

}  // namespace forms::headless
