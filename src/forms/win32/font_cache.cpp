#include "forms/win32/font_cache.h"

#include <cmath>

#include "forms/error.h"
#include "forms/win32/text.h"

namespace forms::win32 {

HFONT FontCache::Get(const FontObject& font, int dpi, bool* replaced) {
  Key key{font.Name, font.Size, font.Weight, font.Italic, font.Underline, font.Strikethrough, dpi};
  if (replaced != nullptr) *replaced = false;
  if (handle_ && key == key_) return handle_.get();

  LOGFONTW spec{};
  // A point is 1/72 inch; a negative height asks for the character height.
  spec.lfHeight = -static_cast<LONG>(std::lround(static_cast<double>(key.size) * dpi / 72.0));
  spec.lfWeight = key.weight;
  spec.lfItalic = key.italic ? TRUE : FALSE;
  spec.lfUnderline = key.underline ? TRUE : FALSE;
  spec.lfStrikeOut = key.strikethrough ? TRUE : FALSE;
  spec.lfCharSet = DEFAULT_CHARSET;
  spec.lfOutPrecision = OUT_DEFAULT_PRECIS;
  spec.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  // Crisp glyphs, as the Song face draws at small sizes from its bitmaps.
  spec.lfQuality = NONANTIALIASED_QUALITY;
  spec.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = Widen(key.name);
  face.copy(spec.lfFaceName, LF_FACESIZE - 1);

  OwnedFont made(::CreateFontIndirectW(&spec));
  if (!made) throw RuntimeError("font " + key.name + " could not be made");
  previous_ = std::move(handle_);
  handle_ = std::move(made);
  key_ = std::move(key);
  if (replaced != nullptr) *replaced = true;
  return handle_.get();
}

}  // namespace forms::win32
