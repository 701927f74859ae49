#pragma once
// A decoded picture as 32-bit pixels, and its smoothly scaled copies.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace forms::picture {

// 32-bit pixels (0x00RRGGBB, as a top-down 32-bit DIB holds them), row by row
// from the top.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;

  std::uint32_t At(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
};

// Bilinear resampling to width x height; the same size gives an exact copy.
// Fails (forms::Raise) when the target is larger than a picture may be.
Pixels ScaleSmooth(const Pixels& source, int width, int height);

}  // namespace forms::picture
