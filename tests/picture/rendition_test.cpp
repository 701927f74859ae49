// Which rendition of a 96-dpi picture (1x and 2x) the screen draws from.
#include "forms/picture/rendition.h"

#include <gtest/gtest.h>

namespace forms::picture {
namespace {

TEST(ChooseRendition, SmallestAtLeastAsLargeAsTheScreenNeeds) {
  struct Case {
    int screen_dpi;
    int scale;
  } const cases[] = {
      {72, 1}, {96, 1},  // 100 %: the picture as drawn
      {97, 2}, {120, 2}, {144, 2}, {168, 2}, {192, 2},  // 101 to 200 %: the 2x scaled down
      {240, 2}, {384, 2},  // beyond 200 %: the 2x scaled up
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseRendition(kRenditionScales, 96, c.screen_dpi), c.scale) << c.screen_dpi;
}

TEST(ChooseRendition, PictureOfAnotherResolutionAndOneRendition) {
  const int scales_1_2_3[] = {1, 2, 3}, only_1[] = {1};
  EXPECT_EQ(ChooseRendition(scales_1_2_3, 72, 145), 3);
  EXPECT_EQ(ChooseRendition(only_1, 96, 192), 1);
}

TEST(RenditionName, OneXIsThePicturesOwnName) {
  EXPECT_EQ(RenditionName("artwork", 1), "artwork");
  EXPECT_EQ(RenditionName("artwork", 2), "artwork_2x");
}

}  // namespace
}  // namespace forms::picture
