// The launcher hands these files straight to the Windows loaders, which are
// strict about layouts the way image viewers are not: every header field the
// loader reads is checked here against what the window expects.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "win_images.h"

namespace kvd_assets {
namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;

struct ArtworkFile {
  const char* name;
  int width, height;
  std::int32_t pels_per_metre;  // 3780 is 96 dpi
};

class ArtworkFormat : public testing::TestWithParam<ArtworkFile> {};

TEST_P(ArtworkFormat, FileHeaderAndInfoHeaderDescribeTheFace) {
  const ArtworkFile& want = GetParam();
  const Bytes file = read_file(assets_dir() / want.name);
  const std::uint32_t stride = (static_cast<std::uint32_t>(want.width) * 3 + 3) & ~3u;
  ASSERT_EQ(file.size(), kFileHeader + kInfoHeader + want.height * stride);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(u32(file, 2), file.size()) << "bfSize";
  EXPECT_EQ(u32(file, 6), 0u) << "bfReserved1/2";
  EXPECT_EQ(u32(file, 10), kFileHeader + kInfoHeader) << "bfOffBits";

  const InfoHeader info = read_info(file, kFileHeader);
  EXPECT_EQ(info.size, kInfoHeader);
  EXPECT_EQ(info.width, want.width);
  EXPECT_EQ(info.height, want.height) << "positive height: rows stored bottom-up";
  EXPECT_EQ(info.planes, 1);
  EXPECT_EQ(info.bit_count, 24);
  EXPECT_EQ(info.compression, 0u) << "BI_RGB";
  EXPECT_TRUE(info.size_image == 0 || info.size_image == want.height * stride) << info.size_image;
  EXPECT_EQ(info.x_pels_per_metre, want.pels_per_metre);
  EXPECT_EQ(info.y_pels_per_metre, want.pels_per_metre);
  EXPECT_EQ(info.colours_used, 0u) << "a true-colour bitmap carries no palette";
}

// The face as the window shows it at 100 % (372606 bytes), and drawn again at
// twice the resolution for 200 %: the same size in inches.
INSTANTIATE_TEST_SUITE_P(Renditions, ArtworkFormat,
                         testing::Values(ArtworkFile{"artwork.bmp", 481, 258, 3780},
                                         ArtworkFile{"artwork@2x.bmp", 962, 516, 7560}),
                         [](const auto& info) { return info.index == 0 ? std::string("At1x") : std::string("At2x"); });

class IconFormat : public testing::TestWithParam<const char*> {};

TEST_P(IconFormat, DirectoryHoldsOne32By32EightBitBmpImage) {
  const Bytes file = read_file(assets_dir() / GetParam());
  ASSERT_EQ(file.size(), 2238u);  // 6 + 16 + 40 + 1024 + 1024 + 128
  const Icon icon = decode_icon(file);
  EXPECT_EQ(icon.reserved, 0);
  EXPECT_EQ(icon.type, 1) << "1 = icon";
  EXPECT_EQ(icon.count, 1);

  EXPECT_EQ(icon.entry.width, 32);
  EXPECT_EQ(icon.entry.height, 32);
  EXPECT_EQ(icon.entry.colour_count, 0) << "0 stands for 256 colours";
  EXPECT_EQ(icon.entry.reserved, 0);
  EXPECT_LE(icon.entry.planes, 1);
  EXPECT_EQ(icon.entry.bit_count, 8);
  EXPECT_EQ(icon.entry.image_offset, 22u);
  EXPECT_EQ(icon.entry.image_offset + icon.entry.bytes_in_res, file.size());

  EXPECT_EQ(icon.info.size, kInfoHeader) << "a BMP image, not PNG";
  EXPECT_EQ(icon.info.width, 32);
  EXPECT_EQ(icon.info.height, 64) << "colour and mask stacked";
  EXPECT_EQ(icon.info.planes, 1);
  EXPECT_EQ(icon.info.bit_count, 8);
  EXPECT_EQ(icon.info.compression, 0u);
  EXPECT_TRUE(icon.info.colours_used == 0 || icon.info.colours_used == 256) << icon.info.colours_used;
  EXPECT_EQ(icon.entry.bytes_in_res, kInfoHeader + 256 * 4 + 32 * 32 + 32 * 4)
      << "header, full palette, XOR bytes and 4-byte AND rows";
}

TEST_P(IconFormat, PaletteEntriesAreWellFormedAndTransparentPixelsAreBlack) {
  const Icon icon = decode_icon(read_file(assets_dir() / GetParam()));
  for (std::size_t i = 0; i < 256; ++i) EXPECT_EQ(icon.palette_reserved[i], 0) << "entry " << i;
  // Under a set mask bit Windows XORs the colour onto the desktop, so any
  // colour but black there would show as a stain around the shape.
  for (int y = 0; y < kIconSize; ++y)
    for (int x = 0; x < kIconSize; ++x)
      if (icon.clear(x, y)) {
        ASSERT_EQ(icon.colour(x, y), (Rgb{0, 0, 0})) << x << "," << y;
      }
}

TEST_P(IconFormat, MaskCutsTheCornersAndKeepsTheMiddleOpaqueForTheShape) {
  const Icon icon = decode_icon(read_file(assets_dir() / GetParam()));
  EXPECT_TRUE(icon.clear(0, 0) && icon.clear(31, 0) && icon.clear(0, 31) && icon.clear(31, 31));
  int opaque = 0;
  for (int y = 0; y < kIconSize; ++y)
    for (int x = 0; x < kIconSize; ++x) opaque += icon.clear(x, y) ? 0 : 1;
  EXPECT_GT(opaque, 150) << "the shape has all but vanished";
  EXPECT_LT(opaque, kIconSize * kIconSize) << "nothing is transparent";
}

INSTANTIATE_TEST_SUITE_P(Shipped, IconFormat, testing::Values("setup.ico"), [](const auto& info) {
  std::string name = info.param;
  return name.substr(0, name.find('.'));
});

struct Hotspot {
  int x = -1, y = -1;
};

Hotspot read_hotspot() {
  std::ifstream in(assets_dir() / "link.ico.hotspot");
  std::string line, rest;
  std::getline(in, line);
  std::getline(in, rest);
  EXPECT_TRUE(rest.empty() && in.eof()) << "the hotspot file holds a single line";
  std::istringstream fields(line);
  Hotspot h;
  fields >> h.x >> h.y;
  EXPECT_TRUE(fields && (fields >> std::ws).eof()) << "expected \"x y\", got \"" << line << "\"";
  return h;
}

// The pointer drawn at 32 x 32 and enlarged for the sizes of the system's
// pointers at 150 and 200 %, each in two colours with its mask.
constexpr int kPointerSizes[] = {32, 48, 64};

std::vector<Icon> pointer_renditions() {
  const Bytes file = read_file(assets_dir() / "link.ico");
  std::vector<Icon> renditions;
  for (int i = 0; i < static_cast<int>(std::size(kPointerSizes)); ++i) renditions.push_back(decode_icon(file, i));
  return renditions;
}

TEST(LinkPointer, DirectoryHoldsATwoColourImageAtEachPointerSize) {
  const Bytes file = read_file(assets_dir() / "link.ico");
  ASSERT_EQ(decode_icon(file).count, std::size(kPointerSizes));
  std::size_t offset = 6 + 16 * std::size(kPointerSizes);
  for (std::size_t i = 0; i < std::size(kPointerSizes); ++i) {
    const Icon icon = decode_icon(file, static_cast<int>(i));
    const int size = kPointerSizes[i];
    SCOPED_TRACE(size);
    EXPECT_EQ(std::tuple(icon.entry.width, icon.entry.height, icon.entry.colour_count, icon.entry.reserved),
              std::tuple(size, size, 2, 0));
    EXPECT_EQ(std::tuple(icon.entry.planes, icon.entry.bit_count), std::tuple(1, 1));
    EXPECT_EQ(icon.entry.image_offset, offset) << "images follow the directory and each other";
    EXPECT_EQ(icon.entry.bytes_in_res, kInfoHeader + 2 * 4 + 2 * row_bytes(size, 1) * size)
        << "header, black and white, XOR bits and AND bits";
    EXPECT_EQ(std::tuple(icon.info.size, icon.info.width, icon.info.height, icon.info.planes, icon.info.bit_count,
                         icon.info.compression),
              std::tuple(kInfoHeader, size, 2 * size, 1, 1, 0u));
    EXPECT_EQ(std::tuple(icon.palette[0], icon.palette[1]), std::tuple(Rgb{0, 0, 0}, Rgb{255, 255, 255}));
    EXPECT_EQ(std::tuple(icon.palette_reserved[0], icon.palette_reserved[1]), std::tuple(0, 0));
    offset += icon.entry.bytes_in_res;
  }
  EXPECT_EQ(offset, file.size());
}

// The program places the active point at the drawn one scaled by size / 32.
TEST(LinkPointer, HotspotIsTheTipOfTheRaisedFingerAtEverySize) {
  const Hotspot h = read_hotspot();
  ASSERT_TRUE(h.x >= 0 && h.x < kIconSize && h.y >= 0 && h.y < kIconSize) << h.x << " " << h.y;
  for (const Icon& icon : pointer_renditions()) {
    SCOPED_TRACE(icon.size);
    const int x = h.x * icon.size / kIconSize, y = h.y * icon.size / kIconSize;
    EXPECT_FALSE(icon.clear(x, y) || icon.clear(x - 1, y) || icon.clear(x + 1, y) || icon.clear(x, y + 1))
        << "the active point and its neighbours must lie on the hand";
    for (int above = 0; above < y; ++above)
      for (int i = 0; i < icon.size; ++i) EXPECT_TRUE(icon.clear(i, above)) << "hand pixel " << i << "," << above;
  }
}

// A clear pixel XORs its colour onto the desktop, so it must be black; the
// hand is white inside an unbroken dark outline.
TEST(LinkPointer, WhiteHandWithADarkOutlineAtEverySize) {
  for (const Icon& icon : pointer_renditions()) {
    SCOPED_TRACE(icon.size);
    const int n = icon.size;
    int white = 0;
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        if (icon.clear(x, y)) {
          ASSERT_EQ(icon.colour(x, y), (Rgb{0, 0, 0})) << x << "," << y;
          continue;
        }
        const double lum = relative_luminance(icon.colour(x, y));
        white += lum > 0.9 ? 1 : 0;
        const bool on_edge = x == 0 || y == 0 || x == n - 1 || y == n - 1 || icon.clear(x - 1, y) ||
                             icon.clear(x + 1, y) || icon.clear(x, y - 1) || icon.clear(x, y + 1);
        if (on_edge) EXPECT_LT(lum, 0.1) << "outline pixel " << x << "," << y << " is not dark";
      }
    EXPECT_GT(white, 100 * n * n / (kIconSize * kIconSize)) << "the hand's fill should be white";
  }
}

}  // namespace
}  // namespace kvd_assets
