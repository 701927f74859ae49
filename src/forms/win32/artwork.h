#pragma once
// A picture box's artwork: the picture resource, and the copy scaled to the
// screen's dpi with a smoothing filter that the picture box draws from. The
// picture may be carried in renditions drawn at larger scales too ("artwork"
// and "artwork_2x"); the copy is made from the one the screen's dpi calls
// for (forms/picture/rendition.h), decoded when first needed. At the
// picture's own resolution the copy is the 1x picture pixel for pixel.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "forms/picture/pixels.h"
#include "windows/owned_handle.h"

namespace forms::win32 {

class Artwork {
 public:
  // Finds the RCDATA resource `name` of `module`, a whole BMP file deflated,
  // and reads its headers; fails (forms::Raise) when it is missing or its
  // headers are damaged or not those of an uncompressed 24- or 32-bit bitmap
  // within the picture limits. Renditions at larger scales are found by
  // name; none is read yet.
  Artwork(HINSTANCE module, const std::string& name);

  int WidthPx() const noexcept { return width_; }
  int HeightPx() const noexcept { return height_; }
  int Dpi() const noexcept { return dpi_; }  // the picture's own resolution

  // The rendition screen_dpi calls for, decoded on first use and kept until
  // another one is needed; fails as the constructor does when its file is
  // damaged, and when a rendition is not its scale times the picture's size.
  const picture::Pixels& Source(int screen_dpi);
  // The scale of the rendition drawn from at screen_dpi (1 when the picture
  // has no other).
  int RenditionFor(int screen_dpi) const noexcept;
  // The picture at screen_dpi, made on first use and kept.
  HBITMAP Scaled(int screen_dpi);
  SIZE ScaledSize(int screen_dpi) const noexcept;
  // The bitmap a paint that shows rows first to first + rows - 1 of the
  // picture at screen_dpi draws from, and the row of the picture that its
  // own first row holds. The opening's first frames show a strip a few
  // pixels high, where nobody can see sharpness: until the whole picture has
  // been made, such a strip is drawn from the 1x picture, which decodes in a
  // fraction of the time a larger rendition takes, so that the first frame
  // comes as soon at 200 % as at 100 %.
  struct Band {
    HBITMAP bitmap;
    int first_row;
  };
  Band ForRows(int screen_dpi, int first, int rows);
  static constexpr int kStripRows = 4;

 private:
  std::string name_;
  // The renditions found, by scale; packed_[0] is the 1x picture.
  std::vector<int> scales_;
  std::vector<std::span<const std::uint8_t>> packed_;
  picture::Pixels source_;
  int source_scale_ = 0;
  int width_ = 0;
  int height_ = 0;
  int dpi_ = 96;
  int scaled_dpi_ = 0;
  windows::OwnedBitmap scaled_;
  int strip_dpi_ = 0;
  int strip_first_ = 0;
  int strip_rows_ = 0;
  windows::OwnedBitmap strip_;

  const picture::Pixels& Decoded(int scale);
};

}  // namespace forms::win32
