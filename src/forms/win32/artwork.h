#pragma once
// A picture box's artwork: the picture resource decoded once, and the copy
// scaled to the screen's dpi with a smoothing filter that the picture box
// draws from. At the picture's own resolution the copy is pixel for pixel.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "forms/picture/pixels.h"
#include "forms/win32/owned_handle.h"

namespace forms::win32 {

class Artwork {
 public:
  // Finds the RCDATA resource `name` of `module`, a whole BMP file deflated,
  // and reads its headers; fails (forms::Raise) when it is missing or its
  // headers are damaged or not those of an uncompressed 24- or 32-bit bitmap
  // within the picture limits.
  Artwork(HINSTANCE module, const std::string& name);

  int WidthPx() const noexcept { return width_; }
  int HeightPx() const noexcept { return height_; }
  int Dpi() const noexcept { return dpi_; }  // the picture's own resolution

  // The whole picture, decoded on first use and kept; fails as the
  // constructor does when the rest of the file is damaged.
  const picture::Pixels& Source();
  // The picture at screen_dpi, made on first use and kept.
  HBITMAP Scaled(int screen_dpi);
  SIZE ScaledSize(int screen_dpi) const noexcept;

 private:
  std::string name_;
  std::span<const std::uint8_t> packed_;
  picture::Pixels source_;
  int width_ = 0;
  int height_ = 0;
  int dpi_ = 96;
  int scaled_dpi_ = 0;
  OwnedBitmap scaled_;
};

}  // namespace forms::win32
