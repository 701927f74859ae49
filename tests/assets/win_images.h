// Readers for the two Windows picture formats the launcher ships: a 24-bit
// BMP for the window face, decoded by the launcher's own reader, and
// icons of 8-bit or two-colour images. Header fields are read byte by byte, the way the
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

// One image of an icon (8 bits or 1 per pixel): the directory, the image's
// entry and header, its palette, the colour (XOR) indices and the
// transparency (AND) bits, both top row first.
struct Icon {
  std::uint16_t reserved, type, count;
  IconEntry entry;
  InfoHeader info;
  int size;
  std::array<Rgb, 256> palette;
  std::array<std::uint8_t, 256> palette_reserved;
  std::vector<std::uint8_t> index;
  std::vector<bool> transparent;

  bool clear(int x, int y) const { return transparent.at(static_cast<std::size_t>(y * size + x)); }
  Rgb colour(int x, int y) const { return palette.at(index.at(static_cast<std::size_t>(y * size + x))); }
};

// Rows of a bitmap are padded to whole 32-bit words.
inline std::size_t row_bytes(int width, int bit_count) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bit_count) + 31) / 32 * 4;
}

inline Icon decode_icon(const Bytes& file, int image = 0) {
  Icon icon{};
  icon.reserved = u16(file, 0);
  icon.type = u16(file, 2);
  icon.count = u16(file, 4);
  const std::size_t e = 6 + 16 * static_cast<std::size_t>(image);
  icon.entry = {static_cast<std::uint8_t>(u8(file, e)),     static_cast<std::uint8_t>(u8(file, e + 1)),
                static_cast<std::uint8_t>(u8(file, e + 2)), static_cast<std::uint8_t>(u8(file, e + 3)),
                u16(file, e + 4),
                u16(file, e + 6),
                u32(file, e + 8),
                u32(file, e + 12)};
  const std::size_t at = icon.entry.image_offset;
  icon.info = read_info(file, at);
  icon.size = icon.info.width;
  const int bits = icon.info.bit_count;
  const std::size_t colours = at + icon.info.size, palette_size = std::size_t{1} << bits;
  for (std::size_t i = 0; i < palette_size; ++i) {
    const std::size_t c = colours + i * 4;
    icon.palette[i] = {file.at(c + 2), file.at(c + 1), file.at(c)};
    icon.palette_reserved[i] = file.at(c + 3);
  }
  const std::size_t xor_stride = row_bytes(icon.size, bits), mask_stride = row_bytes(icon.size, 1);
  const std::size_t xor_at = colours + palette_size * 4, and_at = xor_at + xor_stride * icon.size;
  for (int y = 0; y < icon.size; ++y) {
    const std::size_t row = static_cast<std::size_t>(icon.size - 1 - y);
    for (int x = 0; x < icon.size; ++x) {
      const std::size_t bit = static_cast<std::size_t>(x * bits);
      const std::uint8_t packed = file.at(xor_at + row * xor_stride + bit / 8);
      icon.index.push_back(static_cast<std::uint8_t>(packed >> (8 - bits - bit % 8) & ((1 << bits) - 1)));
      const std::uint8_t mask = file.at(and_at + row * mask_stride + static_cast<std::size_t>(x / 8));
      icon.transparent.push_back((mask & (0x80 >> (x % 8))) != 0);
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
