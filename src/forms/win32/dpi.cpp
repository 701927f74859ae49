// The window on a monitor of another dpi, or after the user changed the
// scale: twips stay the unit, so every native window is placed again from
// the model at the new scale, the buttons get fonts of the new size, labels
// are measured again and the artwork is scaled again on its next paint.
#include "forms/win32/system_library.h"
#include "forms/win32/win32_runtime.h"

namespace forms::win32 {

// The monitor the window opened on may have another dpi than the system's
// (Windows 10 1607 and later say so per window; earlier ones have one dpi).
int Win32Runtime::WindowDpi(HWND window) {
  UINT(WINAPI * dpi_for_window)(HWND) = nullptr;
  FindFunction(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow", dpi_for_window);
  return dpi_for_window != nullptr ? static_cast<int>(dpi_for_window(window)) : 0;
}

void Win32Runtime::OnDpiChanged(int dpi, const RECT* suggested) {
  if (dpi <= 0 || dpi == scale_.dpi) return;
  scale_.dpi = dpi;
  for (auto& peer : peers_) peer->placed = false;
  std::optional<PointTwips> moved_to;
  if (suggested != nullptr) moved_to = PointTwips{scale_.Twips(suggested->left), scale_.Twips(suggested->top)};
  form_->DpiChanged(moved_to);
  for (auto& peer : peers_) {
    Control& control = *peer->control;
    if (control.GetKind() == Kind::CommandButton && peer->window != nullptr) ApplyFont(*peer);
    if (control.GetKind() != Kind::Timer) ApplyGeometry(control);
  }
  ::RedrawWindow(form_window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace forms::win32
