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
struct Filter {
  std::vector<int> first;  // per target position
  std::vector<int> count;
  std::vector<int> weights;  // count[i] weights from i * taps
  int taps = 0;
};

Filter MakeFilter(int from, int to) {
  const float scale = static_cast<float>(from) / static_cast<float>(to);
  const float stretch = std::max(1.0f, scale);
  const float reach = 3 * stretch;
  Filter filter;
  filter.taps = static_cast<int>(2 * reach) + 2;
  filter.first.resize(static_cast<std::size_t>(to));
  filter.count.resize(static_cast<std::size_t>(to));
  filter.weights.assign(static_cast<std::size_t>(to) * filter.taps, 0);
  std::vector<float> raw(static_cast<std::size_t>(filter.taps));
  for (int i = 0; i < to; ++i) {
    const float centre = (static_cast<float>(i) + 0.5f) * scale;  // in source pixels, centres at n + 0.5
    const int low = std::max(0, static_cast<int>(centre - reach + 0.5f) - 1);
    const int high = std::min(from, std::min(low + filter.taps, static_cast<int>(centre + reach + 0.5f) + 1));
    float sum = 0;
    for (int s = low; s < high; ++s)
      sum += raw[static_cast<std::size_t>(s - low)] = Lanczos((s + 0.5f - centre) / stretch);
    int* out = &filter.weights[static_cast<std::size_t>(i) * filter.taps];
    int total = 0, largest = 0;
    for (int s = low; s < high; ++s) {
      const int k = s - low;
      out[k] = static_cast<int>(raw[static_cast<std::size_t>(k)] / sum * kOne +
                                (raw[static_cast<std::size_t>(k)] < 0 ? -0.5f : 0.5f));
      total += out[k];
      if (out[k] > out[largest]) largest = k;
    }
    out[largest] += kOne - total;  // the rounding's remainder: flat colour stays exactly flat
    filter.first[static_cast<std::size_t>(i)] = low;
    filter.count[static_cast<std::size_t>(i)] = high - low;
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
  const auto at = [](const std::vector<int>& v, int i) { return v[static_cast<std::size_t>(i)]; };
  const int low = at(down.first, first), last = first + rows - 1;
  const int high = at(down.first, last) + at(down.count, last);
  std::vector<std::uint32_t> wide(static_cast<std::size_t>(width) * (high - low));
  for (int y = low; y < high; ++y)
    for (int x = 0; x < width; ++x)
      wide[static_cast<std::size_t>(y - low) * width + x] =
          Apply(&source.data[static_cast<std::size_t>(y) * source.width + at(across.first, x)], 1,
                &across.weights[static_cast<std::size_t>(x) * across.taps], at(across.count, x));
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < width; ++x)
      out.data[static_cast<std::size_t>(y) * width + x] =
          Apply(&wide[static_cast<std::size_t>(at(down.first, first + y) - low) * width + x], width,
                &down.weights[static_cast<std::size_t>(first + y) * down.taps], at(down.count, first + y));
  return out;
}

}  // namespace forms::picture
