// The BMP reader on small files made field by field: crafted headers that
// would overflow 32-bit size arithmetic, resolutions that round to 0 dpi,
// rows outside the file and unsupported formats are all rejected, and both
// row orders decode to the right pixels.
#include "forms/picture/bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace forms::picture {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::ExitedWithCode;

// A rejected picture is a failure, which ends the program with its reason.
constexpr const char* kRejected = "unhandled run-time error: picture ";

struct Fields {
  std::int32_t width = 3, height = 2;  // negative height: top-down
  std::uint16_t bits = 24, planes = 1;
  std::uint32_t compression = 0, offset = 54, header_size = 40, colours = 0;
  std::int32_t pixels_per_metre = 3780;
  long long extra_bytes = 0;  // added to (or, negative, cut from) the pixel data
};

void Put(Bytes& b, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Headers, then pixel bytes 0, 1, 2, ... up to the rows' end plus extra_bytes.
Bytes Make(const Fields& f) {
  const long long stride = (static_cast<long long>(f.width) * f.bits + 31) / 32 * 4;
  const long long rows = f.height < 0 ? -static_cast<long long>(f.height) : f.height;
  const long long size = std::max<long long>(54, f.offset + stride * rows + f.extra_bytes);
  Bytes b(static_cast<std::size_t>(std::min<long long>(size, 1 << 20)));
  for (std::size_t i = f.offset; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i - f.offset);
  b[0] = 'B';
  b[1] = 'M';
  Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
  Put(b, 10, f.offset, 4);
  Put(b, 14, f.header_size, 4);
  Put(b, 18, static_cast<std::uint32_t>(f.width), 4);
  Put(b, 22, static_cast<std::uint32_t>(f.height), 4);
  Put(b, 26, f.planes, 2);
  Put(b, 28, f.bits, 2);
  Put(b, 30, f.compression, 4);
  Put(b, 38, static_cast<std::uint32_t>(f.pixels_per_metre), 4);
  Put(b, 42, static_cast<std::uint32_t>(f.pixels_per_metre), 4);
  Put(b, 46, f.colours, 4);
  return b;
}

struct Rejected {
  const char* name;
  Fields fields;
};

TEST(BmpReaderDeathTest, RejectsCraftedAndUnsupportedHeaders) {
  const Rejected cases[] = {
      {"16-bit", {.bits = 16}},
      {"8-bit with a palette", {.bits = 8, .offset = 54 + 1024, .colours = 256}},
      {"run-length compressed", {.compression = 1}},
      {"bit fields", {.bits = 32, .compression = 3}},
      {"no planes", {.planes = 0}},
      {"no width", {.width = 0}},
      {"negative width", {.width = -3}},
      {"no height", {.height = 0}},
      {"too wide", {.width = 16385, .height = 1}},
      {"too tall top-down", {.width = 1, .height = -16385}},
      {"too many pixels", {.width = 16384, .height = 1025}},
      {"stride x height wraps 32 bits", {.width = 0x40000000, .height = 4, .bits = 32}},
      {"most negative height", {.height = INT32_MIN}},
      {"offset + rows wraps 32 bits", {.offset = 0xFFFFFFF0u}},
      {"colour table wraps 32 bits", {.colours = 0x40000000u}},
      {"colour table over the rows", {.colours = 1}},
      {"offset inside the headers", {.offset = 50}},
      {"offset past the end", {.offset = 54 + 4096, .extra_bytes = -4096}},
      {"core header", {.header_size = 12}},
      {"header past the rows", {.header_size = 0xFFFFFFF0u}},
      {"one pixel byte short", {.extra_bytes = -1}},
      {"no pixel data", {.extra_bytes = -24}},
      {"1 pixel per metre", {.pixels_per_metre = 1}},
      {"19 pixels per metre", {.pixels_per_metre = 19}},
      {"negative resolution", {.pixels_per_metre = -3780}},
  };
  for (const Rejected& c : cases) {
    const Bytes file = Make(c.fields);
    EXPECT_EXIT(ReadBmpHeader(file), ExitedWithCode(1), kRejected) << c.name;
    EXPECT_EXIT(ReadBmp(file), ExitedWithCode(1), kRejected) << c.name;
  }
  Bytes file = Make({});
  file.resize(53);
  EXPECT_EXIT(ReadBmp(file), ExitedWithCode(1), kRejected) << "cut inside the header";
  file = Make({});
  file[1] = 'A';
  EXPECT_EXIT(ReadBmp(file), ExitedWithCode(1), kRejected) << "not BM";
}

TEST(BmpReader, HeaderAloneAgreesWithTheDecode) {
  const struct {
    Fields fields;
    int dpi;
  } cases[] = {
      {{}, 96},
      {{.pixels_per_metre = 0}, 96},  // not given
      {{.pixels_per_metre = 20}, 1},
      {{.pixels_per_metre = 5669}, 144},
      {{.width = 1, .height = -5, .bits = 32}, 96},
      {{.offset = 54 + 8 + 6, .colours = 2}, 96},       // colour table and a gap
      {{.offset = 14 + 124, .header_size = 124}, 96},   // a later header version
      {{.width = 16384, .height = 1, .bits = 32}, 96},  // the widest
      {{.width = 1, .height = -16384}, 96},             // the tallest
  };
  for (const auto& c : cases) {
    const Bytes file = Make(c.fields);
    const BmpHeader header = ReadBmpHeader(file);
    const Pixels pixels = ReadBmp(file);
    EXPECT_EQ(header.width, pixels.width);
    EXPECT_EQ(header.height, pixels.height);
    EXPECT_EQ(pixels.data.size(), static_cast<std::size_t>(pixels.width) * pixels.height);
    EXPECT_EQ(header.dpi, c.dpi) << c.fields.pixels_per_metre;
  }
}

TEST(BmpReader, DecodesBothRowOrdersTopRowFirst) {
  // 3 x 2 at 24 bits: rows of 9 bytes padded to 12, the bottom row first.
  const Pixels bottom_up = ReadBmp(Make({}));
  EXPECT_EQ(bottom_up.data, (std::vector<std::uint32_t>{0x0E0D0C, 0x11100F, 0x141312, 0x020100, 0x050403, 0x080706}));
  // 2 x 2 at 32 bits, the top row first; the fourth byte is not colour.
  const Pixels top_down = ReadBmp(Make({.width = 2, .height = -2, .bits = 32}));
  EXPECT_EQ(top_down.data, (std::vector<std::uint32_t>{0x020100, 0x060504, 0x0A0908, 0x0E0D0C}));
}

TEST(ScaleSmoothDeathTest, CopyObeysThePictureLimits) {
  const Pixels one{1, 1, {0x123456}};
  EXPECT_EQ(ScaleSmooth(one, 3, 2).data, std::vector<std::uint32_t>(6, 0x123456));
  EXPECT_EXIT(ScaleSmooth(one, 16385, 1), ExitedWithCode(1), kRejected);
  EXPECT_EXIT(ScaleSmooth(one, 16384, 16384), ExitedWithCode(1), kRejected);
}

}  // namespace
}  // namespace forms::picture
