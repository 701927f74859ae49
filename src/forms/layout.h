#pragma once
// Twips and screen pixels. One inch is 1440 twips and dpi pixels; a geometry
// value becomes the nearest whole pixel. Every backend places its native
// objects with these rules and the model hit-tests the pointer with them, so
// what takes a click is exactly what is drawn there.
#include <cmath>

#include "forms/control.h"

namespace forms {

struct SizeTwips {
  float width = 0;
  float height = 0;
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct PixelGrid {
  int dpi = 96;

  int Px(float twips) const noexcept {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
  }
  float Twips(int pixels) const noexcept { return static_cast<float>(pixels) * TwipsPerPixel(); }
  float TwipsPerPixel() const noexcept { return 1440.0f / static_cast<float>(dpi); }
};

// A picture box draws a flat one-pixel border; its client area, where its
// children stand, lies inside it.
inline int BorderPx(const Control& control) noexcept { return control.GetKind() == Kind::PictureBox ? 1 : 0; }

// A picture's size in its own pixels and its own resolution.
struct PictureSize {
  int width_px = 0;
  int height_px = 0;
  int dpi = 96;
};

// An auto-sized picture box: its picture at the picture's own resolution,
// plus its border on every side.
inline SizeTwips AutoSizeOf(const Control& picture_box, PictureSize picture, const PixelGrid& grid) noexcept {
  const float picture_tpp = 1440.0f / static_cast<float>(picture.dpi);
  const float border = static_cast<float>(2 * BorderPx(picture_box)) * grid.TwipsPerPixel();
  return {static_cast<float>(picture.width_px) * picture_tpp + border,
          static_cast<float>(picture.height_px) * picture_tpp + border};
}

// A control's rectangle in pixels of its container's client area (of the
// screen for the window).
inline PixelRect RectInContainer(const Control& control, const PixelGrid& grid) noexcept {
  const Control* container = control.Container();
  const int origin = container != nullptr ? BorderPx(*container) : 0;
  const int left = origin + grid.Px(control.Left);
  const int top = origin + grid.Px(control.Top);
  return {left, top, left + grid.Px(control.Width), top + grid.Px(control.Height)};
}

// A control's rectangle in pixels of the window's client area.
inline PixelRect RectInWindow(const Control& control, const PixelGrid& grid) noexcept {
  if (control.GetKind() == Kind::Form) return {0, 0, grid.Px(control.Width), grid.Px(control.Height)};
  PixelRect r = RectInContainer(control, grid);
  for (const Control* c = control.Container(); c != nullptr; c = c->Container()) {
    const PixelRect outer = RectInContainer(*c, grid);
    r = {r.left + outer.left, r.top + outer.top, r.right + outer.left, r.bottom + outer.top};
  }
  return r;
}

}  // namespace forms
