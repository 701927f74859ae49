#pragma once
// Twips and screen pixels: one inch is 1440 twips and dpi pixels, and a
// geometry value becomes the nearest whole pixel.
#include <cmath>

namespace forms::win32 {

struct PixelScale {
  int dpi = 96;

  int Px(float twips) const noexcept {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
  }
  float Twips(int pixels) const noexcept { return static_cast<float>(pixels) * TwipsPerPixel(); }
  float TwipsPerPixel() const noexcept { return 1440.0f / static_cast<float>(dpi); }
};

}  // namespace forms::win32
