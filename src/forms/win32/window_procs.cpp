// The runtime's window classes. Each procedure translates messages into raw
// events at the window's door and decides nothing itself.
#include "forms/win32/win32_runtime.h"
#include "windows/system_calls.h"

namespace forms::win32 {
namespace {

Peer* PeerFromWindow(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* peer = static_cast<Peer*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    windows::Calls().set_window_long(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    return peer;
  }
  return reinterpret_cast<Peer*>(windows::Calls().get_window_long(window, GWLP_USERDATA));
}

}  // namespace

void Win32Runtime::RegisterClasses(HINSTANCE module) {
  // The classes carry no state: each window finds its peer, and through it
  // the runtime, in its user data. A second runtime finds them registered.
  const auto reg = [module](const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = procedure;
    cls.hInstance = module;
    cls.hCursor = windows::ArrowCursor();
    cls.lpszClassName = name;
    windows::Calls().register_class(&cls);
  };
  reg(L"KvdOwner", OwnerProc);
  reg(L"KvdForm", GuardedProc<&Win32Runtime::FormMessage>);
  reg(L"KvdPicture", GuardedProc<&Win32Runtime::PictureMessage>);
}

// The hidden owner is a top-level window of ours too: a request to close it
// (a task manager closing the program's windows, say) is a request to close
// the launcher window, not to destroy the owner and the window with it.
LRESULT CALLBACK Win32Runtime::OwnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Peer* peer = PeerFromWindow(window, message, lparam);
  Win32Runtime* self = peer != nullptr ? peer->runtime : nullptr;
  if (message == WM_CLOSE && self != nullptr) {
    if (self->Live()) self->Window().Guarded([self] { self->Window().RequestClose(); });
    return 0;
  }
  return windows::Calls().def_window_proc(window, message, wparam, lparam);
}

// Every message that reaches the model enters it behind the window's guard
// (Form::Guarded), handlers, painting and measuring alike: a failure there
// meets the runtime's default handling and ends the program where it is
// raised, never going back through the window system's frames.
template <LRESULT (Win32Runtime::*Handle)(Peer&, HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK Win32Runtime::GuardedProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Peer* peer = PeerFromWindow(window, message, lparam);
  // What screen readers hold goes with the window, even while the windows are torn down.
  if (message == WM_DESTROY && peer != nullptr) peer->accessible.Disconnect();
  Win32Runtime* self = peer != nullptr ? peer->runtime : nullptr;
  if (self == nullptr || !self->Live()) return windows::Calls().def_window_proc(window, message, wparam, lparam);
  LRESULT result = 0;
  self->Window().Guarded([&] {
    if (!self->OnMouse(window, message, wparam, lparam))
      result = (self->*Handle)(*peer, window, message, wparam, lparam);
  });
  return result;
}

// Push buttons are the system's own, with this procedure in front: their
// mouse messages go to the door like every other window's, so the model
// makes their clicks and moves their focus. The pointer passing over still
// reaches the system's procedure, which draws the hover look.
LRESULT CALLBACK Win32Runtime::ButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* peer = reinterpret_cast<Peer*>(windows::Calls().get_window_long(window, GWLP_USERDATA));
  Win32Runtime* self = peer != nullptr ? peer->runtime : nullptr;
  if (self == nullptr) return windows::Calls().def_window_proc(window, message, wparam, lparam);
  bool taken = false;  // a mouse message the door took for itself
  if (self->Live())
    self->Window().Guarded([&] { taken = self->OnMouse(window, message, wparam, lparam) && message != WM_MOUSEMOVE; });
  return taken ? 0 : windows::Calls().call_window_proc(self->tree_.SystemButtonProc(), window, message, wparam, lparam);
}

LRESULT Win32Runtime::FormMessage(Peer&, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Form& form = Window();
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(window, &client);
      ::FillRect(reinterpret_cast<HDC>(wparam), &client, painter_.BrushFor(form.BackColor));
      return 1;
    }
    case WM_GETMINMAXINFO:
      // The opening strip is one pixel tall.
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {1, 1};
      return 0;
    case WM_SETFOCUS:
      // Activation focuses the window itself; the focus belongs to the model's control.
      if (Control* focus = form.ActiveControl(); focus != nullptr && WindowOf(*focus) != nullptr)
        ::SetFocus(WindowOf(*focus));
      return 0;
    case WM_SETCURSOR:
      // Child windows ask their parent first, so this serves every window.
      if (LOWORD(lparam) == HTCLIENT && OnSetCursor()) return TRUE;
      return windows::Calls().def_window_proc(window, message, wparam, lparam);
    case WM_TIMER:
      if (Timer* timer = timers_.Due(wparam)) form.TimerDue(*timer);
      return 0;
    case WM_CLOSE:  // also Alt+F4
      form.RequestClose();
      return 0;
    case WM_ENDSESSION:
      if (wparam != 0) form.RequestClose();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DESTROY:
      // Destroyed from outside the model: the window is gone.
      tree_.Forget();
      form.RequestClose();
      return 0;
    default:
      return windows::Calls().def_window_proc(window, message, wparam, lparam);
  }
}

LRESULT Win32Runtime::PictureMessage(Peer& peer, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_PAINT: {
      const windows::PaintScope paint(window);
      painter_.PaintPicture(tree_, peer, paint.dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      painter_.PaintPicture(tree_, peer, reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_GETOBJECT:  // a screen reader asks (accessible.cpp)
      if (const LRESULT answer = peer.accessible.Answer(peer, wparam, lparam); answer != 0) return answer;
      return windows::Calls().def_window_proc(window, message, wparam, lparam);
    default:
      return windows::Calls().def_window_proc(window, message, wparam, lparam);
  }
}

}  // namespace forms::win32
