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

// Resampling to width x height by a cubic filter (stretched over the target
// pixel when scaling down); the same size gives an exact copy. Fails
// (forms::Raise) when the target is larger than a picture may be.
Pixels ScaleSmooth(const Pixels& source, int width, int height);
// Rows first to first + rows - 1 of that copy, made without the rest.
Pixels ScaleSmoothRows(const Pixels& source, int width, int height, int first, int rows);

}  // namespace forms::picture
