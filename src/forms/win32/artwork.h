#pragma once
// A picture box's artwork: the bitmap resource decoded once, and the copy
// scaled to the screen's dpi with a smoothing filter that the picture box
// draws from. At the picture's own resolution the copy is pixel for pixel.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "forms/win32/owned_handle.h"

namespace forms::win32 {

// 32-bit pixels (0x00RRGGBB, as a top-down 32-bit DIB holds them), row by row
// from the top.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;
};

// Bilinear resampling to width x height; the same size gives an exact copy.
Pixels ScaleSmooth(const Pixels& source, int width, int height);

class Artwork {
 public:
  // Loads the BITMAP resource `name` of `module`; throws RuntimeError when it
  // is missing or not an uncompressed 24- or 32-bit bitmap.
  Artwork(HINSTANCE module, const std::string& name);

  int WidthPx() const noexcept { return source_.width; }
  int HeightPx() const noexcept { return source_.height; }
  int Dpi() const noexcept { return dpi_; }  // the picture's own resolution

  // The picture at screen_dpi, made on first use and kept.
  HBITMAP Scaled(int screen_dpi);
  SIZE ScaledSize(int screen_dpi) const noexcept;

 private:
  Pixels source_;
  int dpi_ = 96;
  int scaled_dpi_ = 0;
  OwnedBitmap scaled_;
};

}  // namespace forms::win32
