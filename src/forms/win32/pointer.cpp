// Pointer input: every mouse message for any of the launcher's windows (the
// window, the picture box, the buttons) becomes one raw event at the
// window's door, in twips of the window's client area. The model decides
// which control it is for, whether it makes a click and where the focus
// goes; this file only translates, and mirrors capture, the pushed-in look
// of a button and the pointer shape the model asks for.
#include <cstdlib>
#include <string>

#include "forms/win32/text.h"
#include "forms/win32/win32_runtime.h"

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
  ::MapWindowPoints(window, form_window_.get(), &point, 1);
  return {scale_.Twips(point.x), scale_.Twips(point.y)};
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
  Form& form = *form_;
  if (message == WM_CAPTURECHANGED) {
    if (reinterpret_cast<HWND>(lparam) != form_window_.get()) form.CaptureLost();
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

void Win32Runtime::CaptureChanged(Form&, bool captured) {
  if (closing_ || !form_window_) return;
  if (captured)
    ::SetCapture(form_window_.get());
  else if (::GetCapture() == form_window_.get())
    ::ReleaseCapture();
}

void Win32Runtime::ShowPressed(Control& button, bool pressed) {
  if (closing_ || WindowOf(button) == nullptr) return;
  ::SendMessageW(WindowOf(button), BM_SETSTATE, pressed ? TRUE : FALSE, 0);
}

// The pointer takes the mouse icon of the control the model puts under it.
bool Win32Runtime::OnSetCursor() {
  POINT point;
  ::GetCursorPos(&point);
  const Control* target = form_->ControlAt(ToWindowTwips(HWND_DESKTOP, point));
  if (target == nullptr || target->MouseIcon.empty()) return false;
  ::SetCursor(CursorFor(target->MouseIcon));
  return true;
}

// The pointer image is an icon resource; its active point comes from the
// RCDATA resource of the same name ("x y"). Made once per runtime.
HCURSOR Win32Runtime::CursorFor(const std::string& name) {
  if (link_cursor_) return link_cursor_.get();
  const std::wstring wide = Widen(name);
  OwnedIcon icon(static_cast<HICON>(::LoadImageW(module_, wide.c_str(), IMAGE_ICON, 32, 32, 0)));
  if (!icon) return ::LoadCursorW(nullptr, IDC_ARROW);
  ICONINFO info{};
  if (!::GetIconInfo(icon.get(), &info)) return ::LoadCursorW(nullptr, IDC_ARROW);
  OwnedBitmap mask(info.hbmMask), color(info.hbmColor);
  info.fIcon = FALSE;
  info.xHotspot = info.yHotspot = 0;
  if (HRSRC found = ::FindResourceW(module_, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */)) {
    const auto* text = static_cast<const char*>(::LockResource(::LoadResource(module_, found)));
    const std::string hotspot(text != nullptr ? text : "", text != nullptr ? ::SizeofResource(module_, found) : 0);
    char* end = nullptr;
    info.xHotspot = static_cast<DWORD>(std::strtoul(hotspot.c_str(), &end, 10));
    info.yHotspot = static_cast<DWORD>(std::strtoul(end, nullptr, 10));
  }
  link_cursor_.reset(::CreateIconIndirect(&info));
  return link_cursor_ ? link_cursor_.get() : ::LoadCursorW(nullptr, IDC_ARROW);
}

}  // namespace forms::win32
