#include <algorithm>
#include <cstdint>
#include <vector>

#include "forms/picture/bmp.h"
#include "forms/picture/pixels.h"

namespace forms::picture {
namespace {

constexpr float kPi = 3.14159265f;

// sin(x) for x in [0, 3 pi], to about 1e-6: folded onto [-pi/2, pi/2] and
// summed as its series there. (Setup.exe links no maths library.)
float Sine(float x) {
  if (x > kPi) x -= 2 * kPi;  // now in (-pi, pi]
  if (x > kPi / 2) x = kPi - x;
  if (x < -kPi / 2) x = -kPi - x;
  const float x2 = x * x;
  return x * (1 - x2 / 6 * (1 - x2 / 20 * (1 - x2 / 42 * (1 - x2 / 72 * (1 - x2 / 110)))));
}

// The Lanczos filter of three lobes: the sharpest of the usual filters that
// still rings little, so text drawn at 2x keeps its edges when scaled down.
float Lanczos(float t) {
  if (t < 0) t = -t;
  if (t < 1e-4f) return 1;
  if (t >= 3) return 0;
  const float p = kPi * t;
  return 3 * Sine(p) * Sine(p / 3) / (p * p);
}

constexpr int kOne = 1 << 14;  // weights in fixed point

// For each target position along one axis, the source positions it reads
// and their weights (summing to kOne). Downscaled, the filter is stretched to
// the target's pixel, so that every source pixel counts and none aliases.
// Per position, taps + 2 numbers: the first source position, their count
// and the weights.
struct Filter {
  int taps;
  std::vector<int> table;
  const int* At(int i) const { return &table[static_cast<std::size_t>(i) * (taps + 2)]; }
};

Filter MakeFilter(int from, int to) {
  const float scale = static_cast<float>(from) / static_cast<float>(to);
  const float stretch = std::max(1.0f, scale);
  const float reach = 3 * stretch;
  const int taps = static_cast<int>(2 * reach) + 2;
  Filter filter{taps, std::vector<int>(static_cast<std::size_t>(to) * (taps + 2))};
  for (int i = 0; i < to; ++i) {
    const float centre = (static_cast<float>(i) + 0.5f) * scale;  // in source pixels, centres at n + 0.5
    const int low = std::max(0, static_cast<int>(centre - reach + 0.5f) - 1);
    const int high = std::min(from, std::min(low + taps, static_cast<int>(centre + reach + 0.5f) + 1));
    const auto weight = [&](int s) { return Lanczos((static_cast<float>(s) + 0.5f - centre) / stretch); };
    float sum = 0;
    for (int s = low; s < high; ++s) sum += weight(s);
    int* row = &filter.table[static_cast<std::size_t>(i) * (taps + 2)];
    row[0] = low;
    row[1] = high - low;
    int total = 0, largest = 2;
    for (int s = low; s < high; ++s) {
      const float w = weight(s) / sum * kOne;
      int& out = row[2 + s - low];
      out = static_cast<int>(w + (w < 0 ? -0.5f : 0.5f));
      total += out;
      if (out > row[largest]) largest = 2 + s - low;
    }
    row[largest] += kOne - total;  // the rounding's remainder: flat colour stays exactly flat
  }
  return filter;
}

std::uint32_t Channel(int sum) {
  const int value = (sum + kOne / 2) >> 14;
  return static_cast<std::uint32_t>(std::clamp(value, 0, 255));
}

// One target pixel from count pixels of a row or column, step apart.
std::uint32_t Apply(const std::uint32_t* source, int step, const int* weights, int count) {
  int r = 0, g = 0, b = 0;
  for (int k = 0; k < count; ++k) {
    const std::uint32_t p = source[static_cast<std::ptrdiff_t>(k) * step];
    r += static_cast<int>((p >> 16) & 0xFF) * weights[k];
    g += static_cast<int>((p >> 8) & 0xFF) * weights[k];
    b += static_cast<int>(p & 0xFF) * weights[k];
  }
  return Channel(r) << 16 | Channel(g) << 8 | Channel(b);
}

// One pass of the filter along one axis, for `lines` lines: target
// positions first to first + count - 1 of each line, read from `in`, whose
// position 0 is the source's position `offset`. Steps are in pixels.
void Pass(const Filter& filter, int first, int count, int lines, int offset, const std::uint32_t* in, int in_line,
          int in_along, std::uint32_t* out, int out_line, int out_along) {
  for (int line = 0; line < lines; ++line)
    for (int t = 0; t < count; ++t) {
      const int* row = filter.At(first + t);
      out[static_cast<std::ptrdiff_t>(line) * out_line + static_cast<std::ptrdiff_t>(t) * out_along] = Apply(
          in + static_cast<std::ptrdiff_t>(line) * in_line + static_cast<std::ptrdiff_t>(row[0] - offset) * in_along,
          in_along, row + 2, row[1]);
    }
}

}  // namespace

Pixels ScaleSmooth(const Pixels& source, int width, int height) {
  return ScaleSmoothRows(source, width, height, 0, height);
}

Pixels ScaleSmoothRows(const Pixels& source, int width, int height, int first, int rows) {
  first = std::clamp(first, 0, height);
  rows = std::clamp(rows, 0, height - first);
  if (width == source.width && height == source.height) {
    const auto begin = source.data.begin() + static_cast<std::ptrdiff_t>(width) * first;
    return {width, rows, std::vector<std::uint32_t>(begin, begin + static_cast<std::ptrdiff_t>(width) * rows)};
  }
  // A picture of a very low resolution grows a lot on the screen; its copy
  // obeys the same limits as a decoded picture.
  CheckPictureSize(width, height);
  Pixels out{width, rows, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * rows)};
  if (source.width == 0 || source.height == 0 || rows == 0) return out;
  const Filter across = MakeFilter(source.width, width), down = MakeFilter(source.height, height);
  // Across each source row that the target rows read, then down each column.
  const int low = down.At(first)[0], high = down.At(first + rows - 1)[0] + down.At(first + rows - 1)[1];
  std::vector<std::uint32_t> wide(static_cast<std::size_t>(width) * (high - low));
  Pass(across, 0, width, high - low, 0, &source.data[static_cast<std::size_t>(low) * source.width], source.width, 1,
       wide.data(), width, 1);
  Pass(down, first, rows, width, low, wide.data(), 1, width, out.data.data(), 1, width);
  return out;
}

}  // namespace forms::picture
