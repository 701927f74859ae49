// The window's input rules, the same on every window system: which control
// takes the pointer, what makes a click, where the focus goes, what a key
// does and how a close request is met.
#include <algorithm>

#include "forms/form.h"
#include "forms/layout.h"

namespace forms {
namespace {

bool IsWindowed(const Control& c) { return c.GetKind() == Kind::PictureBox || c.GetKind() == Kind::CommandButton; }

// Hidden or disabled controls are transparent to the pointer: what lies
// beneath them takes it, as the window system does for child windows.
bool TakesPointer(const Control& c) { return c.Visible && c.Enabled; }

}  // namespace

// Windowed children lie above the windowless labels that their container
// draws, the last created on top. Rectangles are those drawn: whole pixels.
Control* Form::ControlAt(PointTwips at) const {
  if (state_ != State::Shown) return nullptr;
  const PixelGrid grid{runtime_->Screen().dpi};
  const auto inside = [&grid, at](const Control& c) {
    const PixelRect r = RectInWindow(c, grid);
    return at.x >= grid.Twips(r.left) && at.x < grid.Twips(r.right) && at.y >= grid.Twips(r.top) &&
           at.y < grid.Twips(r.bottom);
  };
  if (!inside(*this)) return nullptr;
  Control* container = const_cast<Form*>(this);
  for (;;) {
    const auto children = ChildrenOf(container);
    Control* hit = nullptr;
    for (auto it = children.rbegin(); hit == nullptr && it != children.rend(); ++it)
      if (IsWindowed(**it) && TakesPointer(**it) && inside(**it)) hit = *it;
    if (hit != nullptr) {
      container = hit;
      continue;
    }
    for (auto it = children.rbegin(); hit == nullptr && it != children.rend(); ++it)
      if ((*it)->GetKind() == Kind::Label && TakesPointer(**it) && inside(**it)) hit = *it;
    return hit != nullptr ? hit : container;
  }
}

// Handlers get the pointer in the target's own twips, from the top-left
// corner of its client area.
void Form::DeliverMouse(Control& target, MouseHandler Control::*event, PointTwips at, int buttons, int shift) {
  if (!(target.*event)) return;
  const PixelGrid grid{runtime_->Screen().dpi};
  const PixelRect r = RectInWindow(target, grid);
  const float x = at.x - grid.Twips(r.left + BorderPx(target));
  const float y = at.y - grid.Twips(r.top + BorderPx(target));
  Deliver([&target, event, buttons, shift, x, y] {
    if (target.*event) (target.*event)(buttons, shift, x, y);
  });
}

// A pressed button shows pushed in while the pointer stays over it.
void Form::SetPressed(Control* pressed, bool shown_pressed) {
  Control* before = pressed_look_ ? pressed_ : nullptr;
  Control* after = shown_pressed && pressed != nullptr && pressed->GetKind() == Kind::CommandButton ? pressed : nullptr;
  if (before != after && before != nullptr) runtime_->ShowPressed(*before, false);
  if (before != after && after != nullptr) runtime_->ShowPressed(*after, true);
  pressed_look_ = after != nullptr;
  const bool capture_changes = (pressed_ != nullptr) != (pressed != nullptr);
  pressed_ = pressed;
  if (capture_changes) runtime_->CaptureChanged(*this, pressed != nullptr);
}

void Form::PointerMoved(PointTwips at, int buttons, int shift) {
  Control* target = ControlAt(at);
  if (pressed_ != nullptr) SetPressed(pressed_, target == pressed_);
  if (target != nullptr) DeliverMouse(*target, &Control::MouseMove, at, buttons, shift);
}

// A left press captures the pointer for the control under it and gives that
// control the focus when it can take it.
void Form::PointerPressed(int button, PointTwips at, int buttons, int shift) {
  Control* target = ControlAt(at);
  if (target == nullptr) return;
  if (button == kLeftButton) {
    SetPressed(target, true);
    if (CanFocus(*target)) SetFocus(target);
  }
  DeliverMouse(*target, &Control::MouseDown, at, buttons, shift);
}

// A click is a left press and release both on the same control.
void Form::PointerReleased(int button, PointTwips at, int /*buttons*/, int /*shift*/) {
  if (button != kLeftButton || pressed_ == nullptr) return;
  Control* pressed = pressed_;
  SetPressed(nullptr, false);
  if (ControlAt(at) == pressed) DeliverClick(*pressed);
}

// The press and release go through the same rules as the pointer's, so the
// control's looks and its click are exactly those of a click there.
bool Form::DoDefaultAction(Control& control) {
  const PixelGrid grid{runtime_->Screen().dpi};
  const PixelRect r = RectInWindow(control, grid);
  const PointTwips centre{grid.Twips((r.left + r.right) / 2), grid.Twips((r.top + r.bottom) / 2)};
  if (pressed_ != nullptr || ControlAt(centre) != &control) return false;
  PointerPressed(kLeftButton, centre, kLeftButton, 0);
  PointerReleased(kLeftButton, centre, 0, 0);
  return true;
}

void Form::CaptureLost() {
  if (pressed_ != nullptr) SetPressed(nullptr, false);
}

void Form::DeliverClick(Control& control) {
  if (state_ != State::Shown || !control.Enabled || !control.Click) return;
  Deliver([&control] {
    if (control.Enabled && control.Click) control.Click();
  });
}

bool Form::CanFocus(const Control& control) const noexcept {
  if (state_ == State::Unloaded || !control.TabStop || !control.Enabled || !control.Visible) return false;
  const Kind kind = control.GetKind();
  if (kind != Kind::PictureBox && kind != Kind::CommandButton) return false;
  for (const Control* c = control.Container(); c != nullptr; c = c->Container())
    if (!c->Enabled || !c->Visible) return false;
  return true;
}

// By tab index, and in creation order within one index: each control goes in
// after every one placed so far whose index is not greater. (A window has a
// handful of controls; a sort that merges would be far more code.)
std::vector<Control*> Form::TabOrder() const {
  const auto by_index = [](const Control* a, const Control* b) { return a->TabIndex < b->TabIndex; };
  std::vector<Control*> order;
  order.reserve(controls_.size());
  for (const auto& c : controls_)
    order.insert(std::upper_bound(order.begin(), order.end(), c.get(), by_index), c.get());
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
// press only the focused button, Esc presses nothing. Holding Tab walks on;
// holding Enter or Space presses once.
void Form::KeyPressed(Key key, bool repeat) {
  if (state_ != State::Shown) return;
  switch (key) {
    case Key::Tab:
    case Key::ShiftTab:
      FocusNext(key == Key::ShiftTab);
      break;
    case Key::Enter:
    case Key::Space:
      if (!repeat && focus_ != nullptr && focus_->GetKind() == Kind::CommandButton) DeliverClick(*focus_);
      break;
    case Key::Escape:
      break;
  }
}

void Form::RequestClose() { Unload(); }

}  // namespace forms
