#pragma once
// The screen's scale: the system's dpi, the dpi of the monitor a window is
// on where the system tells them apart, and the size of the system's pointers.
#include <windows.h>

namespace windows {

int SystemDpi();
// 0 where the system has one dpi for every monitor.
int WindowDpi(HWND window);
// The width and height the system draws its own pointers at on a screen of
// that dpi (Windows 10: 32 up to 143 dpi, 48 from 144, 64 from 192).
int PointerSize(int dpi);

}  // namespace windows
