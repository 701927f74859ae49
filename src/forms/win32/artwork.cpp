#include "forms/win32/artwork.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "forms/error.h"
#include "forms/win32/inflate.h"
#include "forms/win32/text.h"

namespace forms::win32 {
namespace {

std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t fx,
                   std::uint32_t fy) {
  // Fractions are in 1/256; blend each 8-bit channel of the four neighbours.
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    const std::uint32_t cc = (c >> shift) & 0xFF, cd = (d >> shift) & 0xFF;
    const std::uint32_t top = ca * (256 - fx) + cb * fx;
    const std::uint32_t bottom = cc * (256 - fx) + cd * fx;
    const std::uint32_t value = (top * (256 - fy) + bottom * fy + 32768) >> 16;
    out |= value << shift;
  }
  return out;
}

}  // namespace

Pixels ScaleSmooth(const Pixels& source, int width, int height) {
  if (width == source.width && height == source.height) return source;
  Pixels out{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  if (source.width == 0 || source.height == 0) return out;
  const double sx = static_cast<double>(source.width) / width;
  const double sy = static_cast<double>(source.height) / height;
  for (int y = 0; y < height; ++y) {
    // Sample at the centre of each target pixel.
    const double fy = std::max(0.0, (y + 0.5) * sy - 0.5);
    const int y0 = std::min(static_cast<int>(fy), source.height - 1);
    const int y1 = std::min(y0 + 1, source.height - 1);
    const auto wy = static_cast<std::uint32_t>((fy - y0) * 256.0);
    for (int x = 0; x < width; ++x) {
      const double fx = std::max(0.0, (x + 0.5) * sx - 0.5);
      const int x0 = std::min(static_cast<int>(fx), source.width - 1);
      const int x1 = std::min(x0 + 1, source.width - 1);
      const auto wx = static_cast<std::uint32_t>((fx - x0) * 256.0);
      const auto at = [&source](int px, int py) {
        return source.data[static_cast<std::size_t>(py) * source.width + px];
      };
      out.data[static_cast<std::size_t>(y) * width + x] = Lerp(at(x0, y0), at(x1, y0), at(x0, y1), at(x1, y1), wx, wy);
    }
  }
  return out;
}

// The picture is a BITMAP resource (a BMP file without its 14-byte file
// header) or, as Setup.exe carries it, an RCDATA resource holding the whole
// BMP file deflated.
Artwork::Artwork(HINSTANCE module, const std::string& name) {
  const std::wstring wide = Widen(name);
  const auto resource = [module, &wide](LPCWSTR type) -> std::pair<const unsigned char*, DWORD> {
    HRSRC found = ::FindResourceW(module, wide.c_str(), type);
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    return {static_cast<const unsigned char*>(bytes), bytes != nullptr ? ::SizeofResource(module, found) : 0};
  };
  auto [bytes, size] = resource(MAKEINTRESOURCEW(2) /* RT_BITMAP */);
  std::vector<std::uint8_t> inflated;
  if (bytes == nullptr) {
    const auto [packed, packed_size] = resource(MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (packed != nullptr) inflated = Inflate(packed, packed_size);
    constexpr std::size_t kFileHeader = 14;
    if (inflated.size() > kFileHeader && inflated[0] == 'B' && inflated[1] == 'M') {
      bytes = inflated.data() + kFileHeader;
      size = static_cast<DWORD>(inflated.size() - kFileHeader);
    }
  }
  BITMAPINFOHEADER header{};
  if (bytes == nullptr || size < sizeof header) throw RuntimeError("picture " + name + " not found");
  std::memcpy(&header, bytes, sizeof header);
  const int bits = header.biBitCount;
  if (header.biCompression != BI_RGB || (bits != 24 && bits != 32) || header.biWidth <= 0 || header.biHeight == 0)
    throw RuntimeError("picture " + name + " is not an uncompressed 24- or 32-bit bitmap");
  const int width = header.biWidth;
  const int height = header.biHeight > 0 ? header.biHeight : -header.biHeight;
  const bool bottom_up = header.biHeight > 0;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t offset = header.biSize + header.biClrUsed * 4;
  if (offset + stride * height > size) throw RuntimeError("picture " + name + " is truncated");

  source_ = {width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = bytes + offset + stride * static_cast<std::size_t>(bottom_up ? height - 1 - y : y);
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = row + static_cast<std::size_t>(x) * (bits / 8);
      source_.data[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint32_t>(p[0]) |
                                                              static_cast<std::uint32_t>(p[1]) << 8 |
                                                              static_cast<std::uint32_t>(p[2]) << 16;
    }
  }
  // 3780 pixels per metre is 96 dpi; a bitmap without a resolution counts as 96 dpi.
  if (header.biXPelsPerMeter > 0) dpi_ = static_cast<int>(std::lround(header.biXPelsPerMeter * 0.0254));
}

SIZE Artwork::ScaledSize(int screen_dpi) const noexcept {
  const double factor = static_cast<double>(screen_dpi) / dpi_;
  return {static_cast<LONG>(std::lround(source_.width * factor)),
          static_cast<LONG>(std::lround(source_.height * factor))};
}

HBITMAP Artwork::Scaled(int screen_dpi) {
  if (scaled_ && scaled_dpi_ == screen_dpi) return scaled_.get();
  const SIZE size = ScaledSize(screen_dpi);
  const Pixels pixels = ScaleSmooth(source_, size.cx, size.cy);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) throw RuntimeError("no memory for the picture");
  std::memcpy(bits, pixels.data.data(), pixels.data.size() * sizeof(std::uint32_t));
  scaled_ = std::move(bitmap);
  scaled_dpi_ = screen_dpi;
  return scaled_.get();
}

}  // namespace forms::win32
