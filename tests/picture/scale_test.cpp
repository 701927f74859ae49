// Scaling the artwork to the screen: a flat colour stays exactly that colour
// at every size (the weights sum to one with nothing lost to rounding), the
// filter's overshoot at a hard edge never wraps a channel, and a band of
// rows made alone is those rows of the whole copy, so the opening's first
// strip shows what the finished picture shows there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "forms/picture/pixels.h"

namespace forms::picture {
namespace {

Pixels Checkers(int width, int height) {
  Pixels p{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.data[static_cast<std::size_t>(y) * width + x] = ((x / 3 + y / 2) % 2) ? 0xFFFFFF : 0;
  return p;
}

TEST(ScaleSmooth, FlatStaysFlatEdgesStayInRangeAndBandsMatchTheWhole) {
  const struct {
    int from_w, from_h, to_w, to_h;
  } sizes[] = {{962, 516, 603, 323}, {962, 516, 722, 387}, {962, 516, 1443, 774}, {481, 258, 962, 516},
               {7, 5, 3, 2},         {2, 2, 9, 9},         {1, 1, 4, 3}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(testing::Message() << s.from_w << "x" << s.from_h << " to " << s.to_w << "x" << s.to_h);
    const Pixels flat{s.from_w, s.from_h,
                      std::vector<std::uint32_t>(static_cast<std::size_t>(s.from_w) * s.from_h, 0x2C7FD3)};
    EXPECT_EQ(ScaleSmooth(flat, s.to_w, s.to_h).data,
              std::vector<std::uint32_t>(static_cast<std::size_t>(s.to_w) * s.to_h, 0x2C7FD3));
    const Pixels sharp = Checkers(s.from_w, s.from_h);
    const Pixels whole = ScaleSmooth(sharp, s.to_w, s.to_h);
    for (const std::uint32_t p : whole.data) EXPECT_EQ(p & 0xFF000000u, 0u);
    for (const int first : {0, s.to_h / 2, s.to_h - 1}) {
      const Pixels band = ScaleSmoothRows(sharp, s.to_w, s.to_h, first, 4);
      ASSERT_EQ(band.height, std::min(4, s.to_h - first));
      const auto begin = whole.data.begin() + static_cast<std::ptrdiff_t>(first) * s.to_w;
      EXPECT_TRUE(std::equal(band.data.begin(), band.data.end(), begin)) << "rows from " << first;
    }
  }
}

}  // namespace
}  // namespace forms::picture
