#include "forms/picture/bmp.h"

#include <cmath>
#include <string>

#include "forms/error.h"

namespace forms::picture {
namespace {

constexpr std::uint64_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;  // BITMAPINFOHEADER; later versions only add fields
// 20 pixels per metre is the lowest resolution that still rounds to 1 dpi.
constexpr std::int32_t kMinPixelsPerMetre = 20;

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }
std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

[[noreturn]] void Bad(const std::string& why) { Raise("picture " + why); }

// A size as text. Every size checked here comes from a 32-bit field (a row
// count is the magnitude of one) or an int, so 32 bits hold its magnitude,
// and the text needs no 64-bit division, which would add its own code.
std::string Decimal(std::int64_t n) {
  const auto magnitude = static_cast<std::uint32_t>(n < 0 ? -n : n);
  return (n < 0 ? "-" : "") + std::to_string(magnitude);
}

// Bytes per row: rows are padded to whole 32-bit words.
std::uint64_t Stride(std::int64_t width, int bits) { return (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4; }

}  // namespace

void CheckPictureSize(std::int64_t width, std::int64_t height) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    Bad("size " + Decimal(width) + " x " + Decimal(height) + " is outside 1 x 1 .. " + Decimal(kMaxSide) + " x " +
        Decimal(kMaxSide) + " and " + Decimal(kMaxPixels) + " pixels");
}

namespace {

// whole: file is the whole file, whose rows are checked to lie inside it.
BmpHeader ReadHeaders(std::span<const std::uint8_t> file, bool whole) {
  if (file.size() < kFileHeader + kInfoHeader || file[0] != 'B' || file[1] != 'M') Bad("is not a BMP file");
  const std::uint32_t offset = U32(file, 10);
  const std::uint32_t header_size = U32(file, 14);
  const std::int64_t width = I32(file, 18);
  const std::int64_t height = I32(file, 22);  // negative: rows stored top-down
  const std::uint32_t planes = U16(file, 26);
  const std::uint32_t bits = U16(file, 28);
  const std::uint32_t compression = U32(file, 30);
  const std::int32_t pixels_per_metre = I32(file, 38);
  const std::uint32_t colours_used = U32(file, 46);

  if (planes != 1 || compression != 0 /* BI_RGB */ || (bits != 24 && bits != 32))
    Bad("is not an uncompressed 24- or 32-bit bitmap");
  CheckPictureSize(width, height < 0 ? -height : height);
  if (pixels_per_metre < 0 || (pixels_per_metre > 0 && pixels_per_metre < kMinPixelsPerMetre))
    Bad("resolution of " + std::to_string(pixels_per_metre) + " pixels per metre is too low");

  // Headers, then the colour table, then the rows, all inside the file.
  const std::uint64_t table_end = kFileHeader + header_size + std::uint64_t{colours_used} * 4;
  if (header_size < kInfoHeader || table_end > offset) Bad("headers overlap its pixel data");
  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  if (whole && offset + Stride(width, static_cast<int>(bits)) * rows > file.size()) Bad("is truncated");

  BmpHeader header;
  header.width = static_cast<int>(width);
  header.height = static_cast<int>(rows);
  header.bits = static_cast<int>(bits);
  header.top_down = height < 0;
  header.pixel_offset = offset;
  // 3780 pixels per metre is 96 dpi.
  if (pixels_per_metre > 0) header.dpi = static_cast<int>(std::lround(pixels_per_metre * 0.0254));
  return header;
}

}  // namespace

BmpHeader ReadBmpHeader(std::span<const std::uint8_t> file) { return ReadHeaders(file, true); }

BmpHeader ReadBmpStart(std::span<const std::uint8_t> start) { return ReadHeaders(start, false); }

Pixels ReadBmp(std::span<const std::uint8_t> file) {
  const BmpHeader header = ReadBmpHeader(file);
  const std::size_t stride = Stride(header.width, header.bits);
  const std::size_t step = static_cast<std::size_t>(header.bits / 8);
  Pixels out{header.width, header.height,
             std::vector<std::uint32_t>(static_cast<std::size_t>(header.width) * header.height)};
  for (int y = 0; y < header.height; ++y) {
    const std::size_t stored_row = static_cast<std::size_t>(header.top_down ? y : header.height - 1 - y);
    const std::uint8_t* row = file.data() + header.pixel_offset + stride * stored_row;
    std::uint32_t* target = out.data.data() + static_cast<std::size_t>(y) * header.width;
    for (int x = 0; x < header.width; ++x, row += step)
      target[x] = static_cast<std::uint32_t>(row[0]) | static_cast<std::uint32_t>(row[1]) << 8 |
                  static_cast<std::uint32_t>(row[2]) << 16;
  }
  return out;
}

}  // namespace forms::picture
