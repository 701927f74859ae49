// Pointer input over a picture box: the windowless labels on it take the
// events inside their rectangles, the picture box takes the rest. A label
// click is a left press and release both inside the label.
#include <cstdlib>
#include <string>

#include "forms/win32/text.h"
#include "forms/win32/win32_runtime.h"

namespace forms::win32 {
namespace {

POINT PointOf(LPARAM lparam) { return {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))}; }

int ButtonMask(WPARAM keys) {
  return ((keys & MK_LBUTTON) != 0 ? kLeftButton : 0) | ((keys & MK_RBUTTON) != 0 ? kRightButton : 0) |
         ((keys & MK_MBUTTON) != 0 ? kMiddleButton : 0);
}

int ShiftMask(WPARAM keys) {
  return ((keys & MK_SHIFT) != 0 ? 1 : 0) | ((keys & MK_CONTROL) != 0 ? 2 : 0) | (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

// The topmost enabled, visible label under the point (the last created lies on top).
Control* Win32Runtime::LabelAt(const Control& picture, POINT point) const {
  auto children = form_->ChildrenOf(&picture);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    Control* child = *it;
    if (child->GetKind() == Kind::Label && child->Visible && child->Enabled && Inside(PixelRect(*child), point))
      return child;
  }
  return nullptr;
}

// Coordinates are the pointer's position in the target's own twips.
void Win32Runtime::DeliverMouse(Control& target, MouseHandler Control::*event, WPARAM wparam, POINT point) {
  if (!(target.*event)) return;
  const RECT r = target.GetKind() == Kind::Label ? PixelRect(target) : RECT{1, 1, 0, 0};
  const float x = scale_.Twips(point.x - r.left);
  const float y = scale_.Twips(point.y - r.top);
  const int buttons = ButtonMask(wparam);
  const int shift = ShiftMask(wparam);
  form_->Deliver([&target, event, buttons, shift, x, y] {
    if (target.*event) (target.*event)(buttons, shift, x, y);
  });
}

LRESULT Win32Runtime::OnPictureMouse(Peer& picture, UINT message, WPARAM wparam, LPARAM lparam) {
  Control& box = *picture.control;
  const POINT point = PointOf(lparam);
  Control* label = LabelAt(box, point);
  switch (message) {
    case WM_MOUSEMOVE: {
      if (label != nullptr) {
        DeliverMouse(*label, &Control::MouseMove, wparam, point);
        break;
      }
      // While captured the pointer may be outside the picture box or over a
      // button. A disabled button is transparent to the pointer: over it
      // the pointer is over the picture box.
      RECT client;
      ::GetClientRect(picture.window, &client);
      if (Inside(client, point) &&
          ::ChildWindowFromPointEx(picture.window, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED) == picture.window &&
          box.Enabled)
        DeliverMouse(box, &Control::MouseMove, wparam, point);
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const bool left = message == WM_LBUTTONDOWN;
      if (label != nullptr) {
        if (left) {
          pressed_label_ = label;
          ::SetCapture(picture.window);
        }
        DeliverMouse(*label, &Control::MouseDown, wparam, point);
      } else {
        if (left && form_->CanFocus(box)) form_->SetFocus(&box);
        DeliverMouse(box, &Control::MouseDown, wparam, point);
      }
      break;
    }
    case WM_LBUTTONUP: {
      Control* pressed = pressed_label_;
      pressed_label_ = nullptr;
      if (::GetCapture() == picture.window) ::ReleaseCapture();
      if (pressed != nullptr && pressed == label) form_->DeliverClick(*pressed);
      break;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != picture.window) pressed_label_ = nullptr;
      break;
    default:
      break;
  }
  return 0;
}

// Over a label with a mouse icon the pointer takes that icon's cursor.
bool Win32Runtime::OnPictureSetCursor(Peer& picture) {
  POINT point;
  ::GetCursorPos(&point);
  ::ScreenToClient(picture.window, &point);
  Control* label = LabelAt(*picture.control, point);
  if (label == nullptr || label->MouseIcon.empty()) return false;
  ::SetCursor(CursorFor(label->MouseIcon));
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

// Buttons report clicks and focus to their container.
void Win32Runtime::OnCommand(WPARAM wparam) {
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  for (auto& peer : peers_) {
    if (peer->id != id || peer->control->GetKind() != Kind::CommandButton) continue;
    Control& button = *peer->control;
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED)
      form_->DeliverClick(button);
    else if (code == BN_SETFOCUS)
      form_->SetFocus(&button);
    return;
  }
}

}  // namespace forms::win32
