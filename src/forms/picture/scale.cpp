#include <algorithm>

#include "forms/picture/bmp.h"
#include "forms/picture/pixels.h"

namespace forms::picture {
namespace {

std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t fx,
                   std::uint32_t fy) {
  // Fractions are in 1/256; blend each 8-bit channel of the four neighbours.
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    const std::uint32_t cc = (c >> shift) & 0xFF, cd = (d >> shift) & 0xFF;
    const std::uint32_t top = ca * (256 - fx) + cb * fx;
    const std::uint32_t bottom = cc * (256 - fx) + cd * fx;
    const std::uint32_t value = (top * (256 - fy) + bottom * fy + 32768) >> 16;
    out |= value << shift;
  }
  return out;
}

}  // namespace

Pixels ScaleSmooth(const Pixels& source, int width, int height) {
  if (width == source.width && height == source.height) return source;
  // A picture of a very low resolution grows a lot on the screen; its copy
  // obeys the same limits as a decoded picture.
  CheckPictureSize(width, height);
  Pixels out{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  if (source.width == 0 || source.height == 0) return out;
  const double sx = static_cast<double>(source.width) / width;
  const double sy = static_cast<double>(source.height) / height;
  for (int y = 0; y < height; ++y) {
    // Sample at the centre of each target pixel.
    const double fy = std::max(0.0, (y + 0.5) * sy - 0.5);
    const int y0 = std::min(static_cast<int>(fy), source.height - 1);
    const int y1 = std::min(y0 + 1, source.height - 1);
    const auto wy = static_cast<std::uint32_t>((fy - y0) * 256.0);
    for (int x = 0; x < width; ++x) {
      const double fx = std::max(0.0, (x + 0.5) * sx - 0.5);
      const int x0 = std::min(static_cast<int>(fx), source.width - 1);
      const int x1 = std::min(x0 + 1, source.width - 1);
      const auto wx = static_cast<std::uint32_t>((fx - x0) * 256.0);
      out.data[static_cast<std::size_t>(y) * width + x] =
          Lerp(source.At(x0, y0), source.At(x1, y0), source.At(x0, y1), source.At(x1, y1), wx, wy);
    }
  }
  return out;
}

}  // namespace forms::picture
