#pragma once
// The artwork's file format: an uncompressed 24- or 32-bit BMP file, read
// field by field (little-endian) and checked against the limits below before
// anything is allocated, so that a damaged or crafted file fails cleanly.
#include <cstddef>
#include <cstdint>
#include <span>

#include "forms/picture/pixels.h"

namespace forms::picture {

// The largest picture: each side at most kMaxSide pixels, and at most
// kMaxPixels in all (64 MiB as 32-bit pixels).
inline constexpr int kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 24;
// The largest BMP file worth reading: the largest picture at 32 bits per
// pixel, with room for headers and a colour table.
inline constexpr std::size_t kMaxFileBytes = (std::size_t{1} << 26) + (std::size_t{1} << 16);

struct BmpHeader {
  int width = 0;
  int height = 0;  // rows, whichever order the file stores them in
  int dpi = 96;    // a file without a resolution counts as 96 dpi
  int bits = 0;    // 24 or 32
  bool top_down = false;
  std::uint32_t pixel_offset = 0;  // where the rows start in the file
};

// Reads and checks the headers of a whole BMP file, including that all its
// rows lie inside the file, without decoding them. Fails (forms::Raise) on a
// file that is not an uncompressed 24- or 32-bit BMP within the limits.
BmpHeader ReadBmpHeader(std::span<const std::uint8_t> file);

// The headers as ReadBmpHeader reads them, from the file's first
// kBmpStartBytes bytes only: whether the rows lie inside the file is left to
// the whole file's read.
inline constexpr std::size_t kBmpStartBytes = 54;
BmpHeader ReadBmpStart(std::span<const std::uint8_t> start);

// Decodes a whole BMP file; fails as ReadBmpHeader does.
Pixels ReadBmp(std::span<const std::uint8_t> file);

// Fails (forms::Raise) unless width x height is within the limits (at least
// one pixel each way).
void CheckPictureSize(std::int64_t width, std::int64_t height);

}  // namespace forms::picture
