// The runtime's window classes. Each procedure translates messages into
// model events and decides nothing itself.
#include "forms/win32/win32_runtime.h"

namespace forms::win32 {
namespace {

Peer* PeerFromWindow(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* peer = static_cast<Peer*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    return peer;
  }
  return reinterpret_cast<Peer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

void Win32Runtime::RegisterClasses() {
  // The classes carry no state: each window finds its peer, and through it
  // the runtime, in its user data. A second runtime finds them registered.
  const auto reg = [this](const wchar_t* name, WNDPROC procedure, HBRUSH background, UINT style) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.style = style;
    cls.lpfnWndProc = procedure;
    cls.hInstance = module_;
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = background;
    cls.lpszClassName = name;
    ::RegisterClassExW(&cls);
  };
  reg(L"KvdOwner", ::DefWindowProcW, nullptr, 0);
  reg(L"KvdForm", FormProc, nullptr, 0);
  reg(L"KvdPicture", PictureProc, nullptr, 0);
}

LRESULT CALLBACK Win32Runtime::FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Peer* peer = PeerFromWindow(window, message, lparam);
  Win32Runtime* self = peer != nullptr ? peer->runtime : nullptr;
  if (peer == nullptr || self == nullptr || !self->Live()) return ::DefWindowProcW(window, message, wparam, lparam);
  Form& form = *self->form_;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(window, &client);
      ::FillRect(reinterpret_cast<HDC>(wparam), &client, self->BrushFor(form.BackColor));
      return 1;
    }
    case WM_GETMINMAXINFO:
      // The opening strip is one pixel tall.
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {1, 1};
      return 0;
    case WM_SETFOCUS:
      // Activation focuses the window itself; the focus belongs to the model's control.
      if (Control* focus = form.ActiveControl(); focus != nullptr && self->WindowOf(*focus) != nullptr)
        ::SetFocus(self->WindowOf(*focus));
      return 0;
    case WM_TIMER:
      self->OnTimer(wparam);
      return 0;
    case WM_CLOSE:  // also Alt+F4: no handler is connected to closing, so the window unloads at once
      form.Deliver([&form] { form.RequestClose(); });
      return 0;
    case WM_ENDSESSION:
      if (wparam != 0) form.RequestClose();
      return 0;
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

LRESULT CALLBACK Win32Runtime::PictureProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Peer* peer = PeerFromWindow(window, message, lparam);
  Win32Runtime* self = peer != nullptr ? peer->runtime : nullptr;
  if (peer == nullptr || self == nullptr || !self->Live()) return ::DefWindowProcW(window, message, wparam, lparam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(window, &paint);
      self->PaintPicture(*peer, dc);
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      self->PaintPicture(*peer, reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_SETFOCUS:
      self->form_->SetFocus(peer->control);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_CAPTURECHANGED:
      return self->OnPictureMouse(*peer, message, wparam, lparam);
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == window && LOWORD(lparam) == HTCLIENT && self->OnPictureSetCursor(*peer))
        return TRUE;
      return ::DefWindowProcW(window, message, wparam, lparam);
    case WM_COMMAND:
      self->OnCommand(wparam);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace forms::win32
