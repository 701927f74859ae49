#include "forms/win32/font_cache.h"

#include <cmath>

#include "forms/error.h"
#include "forms/win32/text.h"

namespace forms::win32 {

HFONT FontCache::Get(const FontObject& font, int dpi, bool* replaced) {
  Key key{font.Name, font.Size, font.Weight, font.Italic, font.Underline, font.Strikethrough, dpi};
  if (replaced != nullptr) *replaced = false;
  if (handle_ && key == key_) return handle_.get();

  LOGFONTW attributes{};
  // A point is 1/72 inch; a negative height asks for the character height.
  attributes.lfHeight = -static_cast<LONG>(std::lround(static_cast<double>(key.size) * dpi / 72.0));
  attributes.lfWeight = key.weight;
  attributes.lfItalic = key.italic ? TRUE : FALSE;
  attributes.lfUnderline = key.underline ? TRUE : FALSE;
  attributes.lfStrikeOut = key.strikethrough ? TRUE : FALSE;
  attributes.lfCharSet = DEFAULT_CHARSET;
  attributes.lfOutPrecision = OUT_DEFAULT_PRECIS;
  attributes.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  // Crisp glyphs, as the Song face draws at small sizes from its bitmaps.
  attributes.lfQuality = NONANTIALIASED_QUALITY;
  attributes.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = Widen(key.name);
  face.copy(attributes.lfFaceName, LF_FACESIZE - 1);

  OwnedFont made(::CreateFontIndirectW(&attributes));
  if (!made) throw RuntimeError("font " + key.name + " could not be made");
  previous_ = std::move(handle_);
  handle_ = std::move(made);
  key_ = std::move(key);
  if (replaced != nullptr) *replaced = true;
  return handle_.get();
}

}  // namespace forms::win32
