// Pointer input: every mouse message for any of the launcher's windows (the
// window, the picture box, the buttons) becomes one raw event at the
// window's door, in twips of the window's client area. The model decides
// which control it is for, whether it makes a click and where the focus
// goes; this file only translates, and mirrors the focus, capture, the
// pushed-in look of a button and the pointer shape the model asks for.
#include "forms/win32/win32_runtime.h"
#include "windows/system_calls.h"

namespace forms::win32 {
namespace {

int ButtonMask(WPARAM keys) {
  return ((keys & MK_LBUTTON) != 0 ? kLeftButton : 0) | ((keys & MK_RBUTTON) != 0 ? kRightButton : 0) |
         ((keys & MK_MBUTTON) != 0 ? kMiddleButton : 0);
}

int ShiftMask(WPARAM keys) {
  return ((keys & MK_SHIFT) != 0 ? 1 : 0) | ((keys & MK_CONTROL) != 0 ? 2 : 0) | (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

}  // namespace

PointTwips Win32Runtime::ToWindowTwips(HWND window, POINT point) const {
  ::MapWindowPoints(window, tree_.FormWindow(), &point, 1);
  const PixelGrid& scale = tree_.Scale();
  return {scale.Twips(point.x), scale.Twips(point.y)};
}

// Presses and releases by message. A double click is a second press: the
// model makes its own clicks.
struct ButtonMessage {
  UINT message;
  int button;
  bool down;
};
constexpr ButtonMessage kButtonMessages[] = {
    {WM_LBUTTONDOWN, kLeftButton, true},   {WM_LBUTTONDBLCLK, kLeftButton, true},
    {WM_RBUTTONDOWN, kRightButton, true},  {WM_RBUTTONDBLCLK, kRightButton, true},
    {WM_MBUTTONDOWN, kMiddleButton, true}, {WM_MBUTTONDBLCLK, kMiddleButton, true},
    {WM_LBUTTONUP, kLeftButton, false},    {WM_RBUTTONUP, kRightButton, false},
    {WM_MBUTTONUP, kMiddleButton, false},
};

bool Win32Runtime::OnMouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Form& form = Window();
  if (message == WM_CAPTURECHANGED) {
    if (reinterpret_cast<HWND>(lparam) != tree_.FormWindow()) form.CaptureLost();
    return true;
  }
  const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  if (message == WM_MOUSEMOVE) {
    form.PointerMoved(ToWindowTwips(window, point), ButtonMask(wparam), ShiftMask(wparam));
    return true;
  }
  for (const ButtonMessage& m : kButtonMessages) {
    if (m.message != message) continue;
    if (m.down)
      form.PointerPressed(m.button, ToWindowTwips(window, point), ButtonMask(wparam), ShiftMask(wparam));
    else
      form.PointerReleased(m.button, ToWindowTwips(window, point), ButtonMask(wparam), ShiftMask(wparam));
    return true;
  }
  return false;
}

void Win32Runtime::FocusChanged(Form& form, Control* focus) {
  if (tree_.Closing()) return;
  const HWND target = focus != nullptr && WindowOf(*focus) != nullptr ? WindowOf(*focus) : WindowOf(form);
  if (target != nullptr && ::GetFocus() != target) ::SetFocus(target);
}

void Win32Runtime::CaptureChanged(Form&, bool captured) {
  const HWND window = tree_.FormWindow();
  if (tree_.Closing() || window == nullptr) return;
  if (captured)
    ::SetCapture(window);
  else if (::GetCapture() == window)
    ::ReleaseCapture();
}

void Win32Runtime::ShowPressed(Control& button, bool pressed) {
  if (tree_.Closing() || WindowOf(button) == nullptr) return;
  windows::Calls().send_message(WindowOf(button), BM_SETSTATE, pressed ? TRUE : FALSE, 0);
}

// The pointer takes the mouse icon of the control the model puts under it.
bool Win32Runtime::OnSetCursor() {
  POINT point;
  ::GetCursorPos(&point);
  const Control* target = Window().ControlAt(ToWindowTwips(HWND_DESKTOP, point));
  if (target == nullptr || target->MouseIcon.empty()) return false;
  ::SetCursor(tree_.CursorFor(target->MouseIcon));
  return true;
}

}  // namespace forms::win32
