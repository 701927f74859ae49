#include "forms/win32/artwork.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "forms/error.h"
#include "forms/picture/bmp.h"
#include "forms/picture/inflate.h"
#include "forms/win32/text.h"

namespace forms::win32 {
namespace {

// A failure of the picture's formats names the picture.
template <class Body>
void NamingPicture(const std::string& name, Body body) {
  Guard(body, [&name](const RuntimeError& error) { Raise(name + ": " + error.what()); });
}

}  // namespace

// Setup.exe carries the picture as an RCDATA resource holding the whole BMP
// file deflated. Only the headers are read here: the window needs the size
// before it shows, the pixels only for its first paint.
Artwork::Artwork(HINSTANCE module, const std::string& name) : name_(name) {
  const std::wstring wide = Widen(name);
  HRSRC found = ::FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
  const void* packed = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (packed == nullptr) Raise("picture " + name + " not found");
  packed_ = {static_cast<const std::uint8_t*>(packed), ::SizeofResource(module, found)};
  NamingPicture(name_, [this] {
    const picture::BmpHeader header = picture::ReadBmpStart(picture::InflateStart(packed_, picture::kBmpStartBytes));
    width_ = header.width;
    height_ = header.height;
    dpi_ = header.dpi;
  });
}

const picture::Pixels& Artwork::Source() {
  if (source_.data.empty())
    NamingPicture(name_, [this] { source_ = picture::ReadBmp(picture::Inflate(packed_, picture::kMaxFileBytes)); });
  return source_;
}

SIZE Artwork::ScaledSize(int screen_dpi) const noexcept {
  const double factor = static_cast<double>(screen_dpi) / dpi_;
  return {static_cast<LONG>(std::lround(width_ * factor)), static_cast<LONG>(std::lround(height_ * factor))};
}

HBITMAP Artwork::Scaled(int screen_dpi) {
  if (scaled_ && scaled_dpi_ == screen_dpi) return scaled_.get();
  const SIZE size = ScaledSize(screen_dpi);
  const picture::Pixels pixels = picture::ScaleSmooth(Source(), size.cx, size.cy);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) Raise("no memory for the picture");
  std::memcpy(bits, pixels.data.data(), pixels.data.size() * sizeof(std::uint32_t));
  scaled_ = std::move(bitmap);
  scaled_dpi_ = screen_dpi;
  return scaled_.get();
}

}  // namespace forms::win32
