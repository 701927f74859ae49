#pragma once
// The faces the launcher draws itself: the picture box (its flat border,
// the artwork and the windowless labels on it) and the window's background.
// One function serves WM_PAINT and WM_PRINTCLIENT, so a memory DC gets
// exactly what the screen gets.
#include <windows.h>

#include "forms/control.h"
#include "forms/win32/window_tree.h"
#include "windows/owned_handle.h"

namespace forms::win32 {

class Painter {
 public:
  void PaintPicture(WindowTree& tree, Peer& picture, HDC dc);
  // A brush of the colour (a system colour's own brush, or one kept for the
  // last colour asked).
  HBRUSH BrushFor(Color color);

 private:
  windows::OwnedBrush back_brush_;
  Color back_brush_color_ = 0;
};

}  // namespace forms::win32
