#pragma once
// The screen's scale: the system's dpi, and the dpi of the monitor a window
// is on where the system tells them apart.
#include <windows.h>

namespace windows {

int SystemDpi();
// 0 where the system has one dpi for every monitor.
int WindowDpi(HWND window);

}  // namespace windows
