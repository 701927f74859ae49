// The desktop's services: the question box and the screen.
#include "forms/win32/win32_runtime.h"
#include "windows/system_calls.h"
#include "windows/text.h"

namespace forms::win32 {

int Win32Runtime::MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) {
  return ::MessageBoxW(WindowOf(owner), windows::Widen(prompt).c_str(), windows::Widen(title).c_str(),
                       static_cast<UINT>(style));
}

ScreenInfo Win32Runtime::Screen() { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), Dpi()}; }

}  // namespace forms::win32
