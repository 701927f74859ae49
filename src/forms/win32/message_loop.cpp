// The message loop. Tab, Shift+Tab, Enter, Space and Esc aimed at the
// launcher's windows go to the form's keyboard rules before translation and
// dispatch, so that a press reaches a handler exactly once and a button does
// not click on Space by itself.
#include "forms/win32/win32_runtime.h"
#include "windows/system_calls.h"

namespace forms::win32 {
namespace {

bool IsRoutedKey(WPARAM key) { return key == VK_TAB || key == VK_RETURN || key == VK_SPACE || key == VK_ESCAPE; }

bool IsRoutedChar(WPARAM ch) { return ch == L'\t' || ch == L'\r' || ch == L'\n' || ch == L' ' || ch == 0x1B; }

}  // namespace

bool Win32Runtime::InterceptKey(const MSG& message) {
  const HWND window = tree_.FormWindow();
  if (window == nullptr || !Live() || (message.hwnd != window && !::IsChild(window, message.hwnd))) return false;
  switch (message.message) {
    case WM_KEYDOWN: {
      if (!IsRoutedKey(message.wParam)) return false;
      const bool repeat = (message.lParam & (1L << 30)) != 0;
      Key key = Key::Escape;
      switch (message.wParam) {
        case VK_TAB:
          key = ::GetKeyState(VK_SHIFT) < 0 ? Key::ShiftTab : Key::Tab;
          break;
        case VK_RETURN:
          key = Key::Enter;
          break;
        case VK_SPACE:
          key = Key::Space;
          break;
        default:
          break;
      }
      Window().Guarded([this, key, repeat] { Window().KeyPressed(key, repeat); });
      return true;
    }
    case WM_KEYUP:
      return IsRoutedKey(message.wParam);
    case WM_CHAR:
      return IsRoutedChar(message.wParam);
    default:
      return false;
  }
}

void Win32Runtime::Dispatch(MSG& message) {
  if (InterceptKey(message)) return;
  ::TranslateMessage(&message);
  windows::Calls().dispatch_message(&message);
}

// Geometry written outside any event (by a test, say) is applied before the
// loop waits, behind the window's guard like an event.
void Win32Runtime::ApplyWritesOutsideEvents() {
  if (Live()) Window().Guarded([this] { tree_.ApplyMovedGeometry(); });
}

int Win32Runtime::Run() {
  MSG message;
  while (!ended_) {
    ApplyWritesOutsideEvents();
    const BOOL got = windows::Calls().get_message(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) return ended_ ? exit_status_ : static_cast<int>(message.wParam);
    Dispatch(message);
  }
  return exit_status_;
}

bool Win32Runtime::ProcessMessages(DWORD wait_ms) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG message;
    while (windows::Calls().peek_message(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ended_ = true;
        return false;
      }
      Dispatch(message);
    }
    if (ended_) return false;
    ApplyWritesOutsideEvents();
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= wait_ms) return true;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait_ms - elapsed, QS_ALLINPUT);
  }
}

}  // namespace forms::win32
