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

// Setup.exe carries the picture as an RCDATA resource holding the whole BMP
// file deflated.
Artwork::Artwork(HINSTANCE module, const std::string& name) {
  const std::wstring wide = Widen(name);
  HRSRC found = ::FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
  const void* packed = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (packed == nullptr) throw RuntimeError("picture " + name + " not found");
  try {
    const std::vector<std::uint8_t> file = picture::Inflate(
        {static_cast<const std::uint8_t*>(packed), ::SizeofResource(module, found)}, picture::kMaxFileBytes);
    dpi_ = picture::ReadBmpHeader(file).dpi;
    source_ = picture::ReadBmp(file);
  } catch (const RuntimeError& e) {
    throw RuntimeError(name + ": " + e.what());
  }
}

SIZE Artwork::ScaledSize(int screen_dpi) const noexcept {
  const double factor = static_cast<double>(screen_dpi) / dpi_;
  return {static_cast<LONG>(std::lround(source_.width * factor)),
          static_cast<LONG>(std::lround(source_.height * factor))};
}

HBITMAP Artwork::Scaled(int screen_dpi) {
  if (scaled_ && scaled_dpi_ == screen_dpi) return scaled_.get();
  const SIZE size = ScaledSize(screen_dpi);
  const picture::Pixels pixels = picture::ScaleSmooth(source_, size.cx, size.cy);
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
