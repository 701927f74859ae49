// The window draws its e-mail link and two push buttons on top of the
// artwork. These checks keep the artwork behind them light and calm enough
// that the label reads in both of its colours and the buttons sit on a quiet
// ground, whatever the designer changes elsewhere.
#include <gtest/gtest.h>

#include <cmath>

#include "win_images.h"

namespace kvd_assets {
namespace {

struct Area {
  const char* name;
  int x0, y0, x1, y1;  // inclusive, artwork pixels
};

// What the program overlays, with two pixels to spare for text overhang and
// button edges.
constexpr int kSpare = 2;
constexpr Area kLinkLabel{"e-mail label", 248, 152, 380, 164};
constexpr Area kButtons[] = {{"first button", 200, 228, 265, 249}, {"second button", 280, 228, 345, 249}};

struct Stats {
  double r = 0, g = 0, b = 0;  // mean colour
  double spread = 0;           // largest standard deviation of a channel
};

Stats measure(const Picture& p, const Area& a) {
  double sum[3] = {}, sq[3] = {};
  int n = 0;
  for (int y = std::max(0, a.y0 - kSpare); y <= std::min(p.height() - 1, a.y1 + kSpare); ++y) {
    for (int x = std::max(0, a.x0 - kSpare); x <= std::min(p.width() - 1, a.x1 + kSpare); ++x) {
      const Rgb c = p.at(x, y);
      const double v[3] = {double(c.r), double(c.g), double(c.b)};
      for (int k = 0; k < 3; ++k) {
        sum[k] += v[k];
        sq[k] += v[k] * v[k];
      }
      ++n;
    }
  }
  Stats s{sum[0] / n, sum[1] / n, sum[2] / n, 0};
  for (int k = 0; k < 3; ++k) {
    const double mean = sum[k] / n;
    s.spread = std::max(s.spread, std::sqrt(std::max(0.0, sq[k] / n - mean * mean)));
  }
  return s;
}

class ArtworkPixels : public testing::Test {
 protected:
  static void SetUpTestSuite() { art_ = new Picture(decode_bmp(read_file(assets_dir() / "artwork.bmp"))); }
  static void TearDownTestSuite() {
    delete art_;
    art_ = nullptr;
  }
  static const Picture& art() { return *art_; }

 private:
  static inline Picture* art_ = nullptr;
};

TEST_F(ArtworkPixels, LinkLabelReadsInBlackAndInHoverGrey) {
  const Stats s = measure(art(), kLinkLabel);
  const double ground = relative_luminance(s.r, s.g, s.b);
  EXPECT_GE(contrast_ratio(ground, relative_luminance(0, 0, 0)), 7.0) << "black label text";
  EXPECT_GE(contrast_ratio(ground, relative_luminance(0x80, 0x80, 0x80)), 3.0) << "grey hover text";
}

TEST_F(ArtworkPixels, EveryPixelUnderTheLabelIsLighterThanTheHoverGrey) {
  // An average can hide a stroke running through the label; both label
  // colours are dark, so each pixel must be a light ground for them.
  const double grey = relative_luminance(0x80, 0x80, 0x80);
  for (int y = kLinkLabel.y0; y <= kLinkLabel.y1; ++y) {
    for (int x = kLinkLabel.x0; x <= kLinkLabel.x1; ++x) {
      const double ground = relative_luminance(art().at(x, y));
      ASSERT_TRUE(ground > grey && contrast_ratio(ground, grey) >= 3.0) << "pixel " << x << "," << y;
    }
  }
}

TEST_F(ArtworkPixels, OverlaidAreasAreSmooth) {
  for (const Area& a : {kLinkLabel, kButtons[0], kButtons[1]})
    EXPECT_LE(measure(art(), a).spread, 4.0) << a.name << " is busy: artwork detail would show through";
}

}  // namespace
}  // namespace kvd_assets
