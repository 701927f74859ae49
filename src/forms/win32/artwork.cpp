#include "forms/win32/artwork.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "forms/error.h"
#include "forms/picture/bmp.h"
#include "forms/picture/inflate.h"
#include "forms/picture/rendition.h"
#include "windows/text.h"

namespace forms::win32 {
namespace {

// A failure of the picture's formats names the picture.
template <class Body>
void NamingPicture(const std::string& name, Body body) {
  Guard(body, [&name](const RuntimeError& error) { Raise(name + ": " + error.what()); });
}

// The deflated file in RCDATA resource `name`, or an empty span.
std::span<const std::uint8_t> FindPacked(HINSTANCE module, const std::string& name) {
  const std::wstring wide = windows::Widen(name);
  HRSRC found = ::FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
  const void* packed = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (packed == nullptr) return {};
  return {static_cast<const std::uint8_t*>(packed), ::SizeofResource(module, found)};
}

}  // namespace

// Setup.exe carries the picture as RCDATA resources holding whole BMP files
// deflated, one per rendition. Only the 1x picture's headers are read here:
// the window needs the size before it shows, the pixels only for its first
// paint, and then only those of the rendition the screen needs.
Artwork::Artwork(HINSTANCE module, const std::string& name) : name_(name) {
  for (int scale : picture::kRenditionScales) {
    const std::span<const std::uint8_t> packed = FindPacked(module, picture::RenditionName(name, scale));
    if (packed.empty()) {
      if (scale == 1) Raise("picture " + name + " not found");
      continue;
    }
    scales_.push_back(scale);
    packed_.push_back(packed);
  }
  NamingPicture(name_, [this] {
    const picture::BmpHeader header = picture::ReadBmpStart(picture::InflateStart(packed_[0], picture::kBmpStartBytes));
    width_ = header.width;
    height_ = header.height;
    dpi_ = header.dpi;
  });
}

int Artwork::RenditionFor(int screen_dpi) const noexcept { return picture::ChooseRendition(scales_, dpi_, screen_dpi); }

const picture::Pixels& Artwork::Source(int screen_dpi) { return Decoded(RenditionFor(screen_dpi)); }

const picture::Pixels& Artwork::Decoded(int scale) {
  if (source_.data.empty() || source_scale_ != scale) {
    std::size_t index = 0;
    while (scales_[index] != scale) ++index;
    const std::string name = picture::RenditionName(name_, scale);
    source_ = {};  // one decoded rendition at a time
    NamingPicture(name, [&] {
      picture::Pixels pixels = picture::ReadBmp(picture::Inflate(packed_[index], picture::kMaxFileBytes));
      if (pixels.width != width_ * scale || pixels.height != height_ * scale)
        Raise("rendition is not " + std::to_string(scale) + " times the picture's size");
      source_ = std::move(pixels);
    });
    source_scale_ = scale;
  }
  return source_;
}

SIZE Artwork::ScaledSize(int screen_dpi) const noexcept {
  const double factor = static_cast<double>(screen_dpi) / dpi_;
  return {static_cast<LONG>(std::lround(width_ * factor)), static_cast<LONG>(std::lround(height_ * factor))};
}

namespace {

// A top-down 32-bit bitmap holding the pixels.
windows::OwnedBitmap BitmapOf(const picture::Pixels& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  windows::OwnedBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) Raise("no memory for the picture");
  std::memcpy(bits, pixels.data.data(), pixels.data.size() * sizeof(std::uint32_t));
  return bitmap;
}

}  // namespace

HBITMAP Artwork::Scaled(int screen_dpi) {
  if (scaled_ && scaled_dpi_ == screen_dpi) return scaled_.get();
  const SIZE size = ScaledSize(screen_dpi);
  scaled_ = BitmapOf(picture::ScaleSmooth(Source(screen_dpi), size.cx, size.cy));
  scaled_dpi_ = screen_dpi;
  strip_.reset();
  return scaled_.get();
}

Artwork::Band Artwork::ForRows(int screen_dpi, int first, int rows) {
  if ((scaled_ && scaled_dpi_ == screen_dpi) || rows > kStripRows || RenditionFor(screen_dpi) == 1)
    return {Scaled(screen_dpi), 0};
  if (!strip_ || strip_dpi_ != screen_dpi || first < strip_first_ || first + rows > strip_first_ + strip_rows_) {
    const SIZE size = ScaledSize(screen_dpi);
    NamingPicture(name_, [&] {
      const picture::Pixels band = picture::ScaleSmoothRows(Decoded(1), size.cx, size.cy, first, kStripRows);
      strip_ = BitmapOf(band);
      strip_rows_ = band.height;
    });
    strip_dpi_ = screen_dpi;
    strip_first_ = first;
  }
  return {strip_.get(), strip_first_};
}

}  // namespace forms::win32
