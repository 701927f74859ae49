#include "windows/dpi.h"

#include "windows/owned_handle.h"
#include "windows/system_library.h"

namespace windows {

int SystemDpi() {
  UINT(WINAPI * dpi_for_system)() = nullptr;
  FindOptionalFunction("user32.dll", "GetDpiForSystem", dpi_for_system);
  if (dpi_for_system != nullptr) return static_cast<int>(dpi_for_system());
  ScreenDc screen;
  const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
  return dpi > 0 ? dpi : 96;
}

// Windows 10 1607 and later tell each monitor's dpi; earlier ones have one.
int WindowDpi(HWND window) {
  UINT(WINAPI * dpi_for_window)(HWND) = nullptr;
  FindOptionalFunction("user32.dll", "GetDpiForWindow", dpi_for_window);
  return dpi_for_window != nullptr ? static_cast<int>(dpi_for_window(window)) : 0;
}

// Systems before Windows 10 1607 have one dpi, and their pointers' size at
// it; a window at another dpi (tests choose one) gets that size scaled.
// Where the system gives no size, the pointer keeps its drawn 32 x 32.
int PointerSize(int dpi) {
  int(WINAPI * metric_for_dpi)(int, UINT) = nullptr;
  FindOptionalFunction("user32.dll", "GetSystemMetricsForDpi", metric_for_dpi);
  if (metric_for_dpi != nullptr)
    if (const int size = metric_for_dpi(SM_CXCURSOR, static_cast<UINT>(dpi)); size > 0) return size;
  const int scaled = ::GetSystemMetrics(SM_CXCURSOR) * dpi / SystemDpi();
  return scaled > 0 ? scaled : 32;
}

}  // namespace windows
