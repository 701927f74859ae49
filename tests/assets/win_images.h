// Readers for the two Windows picture formats the launcher ships: a 24-bit
// BMP for the window face, decoded by the launcher's own reader, and
// single-image 8-bit icons. Header fields are read byte by byte, the way the
// loader in Windows does, so the tests can check every header value instead
// of trusting a library to be lenient.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "forms/error.h"
#include "forms/picture/bmp.h"

namespace kvd_assets {

using Bytes = std::vector<std::uint8_t>;

inline std::filesystem::path assets_dir() { return KVD_ASSETS_DIR; }

inline Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) forms::Raise("cannot open " + path.string());
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline std::uint32_t u8(const Bytes& b, std::size_t at) { return b.at(at); }
inline std::uint16_t u16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}
inline std::uint32_t u32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(u16(b, at)) | static_cast<std::uint32_t>(u16(b, at + 2)) << 16;
}
inline std::int32_t i32(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(u32(b, at)); }

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// BITMAPINFOHEADER
struct InfoHeader {
  std::uint32_t size;
  std::int32_t width, height;
  std::uint16_t planes, bit_count;
  std::uint32_t compression, size_image;
  std::int32_t x_pels_per_metre, y_pels_per_metre;
  std::uint32_t colours_used, colours_important;
};

inline InfoHeader read_info(const Bytes& b, std::size_t at) {
  return {u32(b, at),      i32(b, at + 4),  i32(b, at + 8),  u16(b, at + 12), u16(b, at + 14), u32(b, at + 16),
          u32(b, at + 20), i32(b, at + 24), i32(b, at + 28), u32(b, at + 32), u32(b, at + 36)};
}

// A decoded picture, top row first, through the launcher's own BMP reader.
struct Picture {
  forms::picture::Pixels pixels;
  Rgb at(int x, int y) const {
    const std::uint32_t c = pixels.At(x, y);
    return {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)};
  }
  int width() const { return pixels.width; }
  int height() const { return pixels.height; }
};

inline Picture decode_bmp(const Bytes& file) { return {forms::picture::ReadBmp(file)}; }

// ICONDIRENTRY
struct IconEntry {
  std::uint8_t width, height, colour_count, reserved;
  std::uint16_t planes, bit_count;
  std::uint32_t bytes_in_res, image_offset;
};

constexpr int kIconSize = 32;

// One 8-bit 32 x 32 icon image: its header, palette, the colour (XOR) indices
// and the transparency (AND) bits, both top row first.
struct Icon {
  std::uint16_t reserved, type, count;
  IconEntry entry;
  InfoHeader info;
  std::array<Rgb, 256> palette;
  std::array<std::uint8_t, 256> palette_reserved;
  std::vector<std::uint8_t> index;
  std::vector<bool> transparent;

  bool clear(int x, int y) const { return transparent.at(static_cast<std::size_t>(y * kIconSize + x)); }
  Rgb colour(int x, int y) const { return palette.at(index.at(static_cast<std::size_t>(y * kIconSize + x))); }
};

inline Icon decode_icon(const Bytes& file) {
  Icon icon{};
  icon.reserved = u16(file, 0);
  icon.type = u16(file, 2);
  icon.count = u16(file, 4);
  icon.entry = {static_cast<std::uint8_t>(u8(file, 6)),
                static_cast<std::uint8_t>(u8(file, 7)),
                static_cast<std::uint8_t>(u8(file, 8)),
                static_cast<std::uint8_t>(u8(file, 9)),
                u16(file, 10),
                u16(file, 12),
                u32(file, 14),
                u32(file, 18)};
  const std::size_t at = icon.entry.image_offset;
  icon.info = read_info(file, at);
  const std::size_t colours = at + icon.info.size;
  for (std::size_t i = 0; i < 256; ++i) {
    const std::size_t e = colours + i * 4;
    icon.palette[i] = {file.at(e + 2), file.at(e + 1), file.at(e)};
    icon.palette_reserved[i] = file.at(e + 3);
  }
  const std::size_t xor_at = colours + 256 * 4;
  const std::size_t and_at = xor_at + kIconSize * kIconSize;
  constexpr std::size_t mask_stride = 4;  // 32 bits, already a multiple of 4 bytes
  for (int y = 0; y < kIconSize; ++y) {
    const std::size_t row = static_cast<std::size_t>(kIconSize - 1 - y);
    for (int x = 0; x < kIconSize; ++x) {
      icon.index.push_back(file.at(xor_at + row * kIconSize + static_cast<std::size_t>(x)));
      const std::uint8_t bits = file.at(and_at + row * mask_stride + static_cast<std::size_t>(x / 8));
      icon.transparent.push_back((bits & (0x80 >> (x % 8))) != 0);
    }
  }
  return icon;
}

// WCAG relative luminance (0 black .. 1 white) of 8-bit sRGB, and the
// contrast ratio of two luminances (1:1 .. 21:1).
inline double relative_luminance(double r, double g, double b) {
  auto linear = [](double v) {
    v /= 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}
inline double relative_luminance(const Rgb& c) { return relative_luminance(c.r, c.g, c.b); }
inline double contrast_ratio(double l1, double l2) { return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05); }

}  // namespace kvd_assets
