#pragma once
// A picture box's artwork: the picture resource decoded once, and the copy
// scaled to the screen's dpi with a smoothing filter that the picture box
// draws from. At the picture's own resolution the copy is pixel for pixel.
#include <windows.h>

#include <string>

#include "forms/picture/pixels.h"
#include "forms/win32/owned_handle.h"

namespace forms::win32 {

class Artwork {
 public:
  // Loads the RCDATA resource `name` of `module`, a whole BMP file deflated;
  // throws RuntimeError when it is missing, damaged or not an uncompressed
  // 24- or 32-bit bitmap within the picture limits.
  Artwork(HINSTANCE module, const std::string& name);

  int WidthPx() const noexcept { return source_.width; }
  int HeightPx() const noexcept { return source_.height; }
  int Dpi() const noexcept { return dpi_; }  // the picture's own resolution

  // The picture at screen_dpi, made on first use and kept.
  HBITMAP Scaled(int screen_dpi);
  SIZE ScaledSize(int screen_dpi) const noexcept;

 private:
  picture::Pixels source_;
  int dpi_ = 96;
  int scaled_dpi_ = 0;
  OwnedBitmap scaled_;
};

}  // namespace forms::win32
