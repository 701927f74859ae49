#include "forms/win32/font_cache.h"

#include <algorithm>
#include <cmath>

#include "forms/error.h"
#include "windows/system_calls.h"
#include "windows/text.h"

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
  // Crisp glyphs, as the Song face draws at small sizes from its bitmaps
  // (LayOutCaption measures the glyphs in this form).
  attributes.lfQuality = NONANTIALIASED_QUALITY;
  attributes.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = windows::Widen(key.name);
  face.copy(attributes.lfFaceName, LF_FACESIZE - 1);

  windows::OwnedFont made(windows::Calls().create_font(&attributes));
  if (!made) Raise("font " + key.name + " could not be made");
  previous_ = std::move(handle_);
  handle_ = std::move(made);
  key_ = std::move(key);
  if (replaced != nullptr) *replaced = true;
  return handle_.get();
}

// The text extent functions may give other advances than those of the
// one-bit glyphs drawn (under Wine, for the e-mail address at 192 dpi: 264
// pixels against 267 drawn), and a glyph's ink may overhang its advance. So
// each character is measured as the one-bit glyph the font draws, and
// painting places the glyphs with the same advances.
CaptionLayout LayOutCaption(HDC dc, std::wstring_view caption) {
  static constexpr MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  CaptionLayout layout;
  layout.advances.reserve(caption.size());
  int pen = 0, ink_left = 0, ink_right = 0;
  for (const wchar_t character : caption) {
    GLYPHMETRICS glyph{};
    int advance = 0;
    if (windows::Calls().glyph_outline(dc, character, GGO_BITMAP, &glyph, 0, nullptr, &kIdentity) != GDI_ERROR) {
      advance = glyph.gmCellIncX;
      const int ink = pen + static_cast<int>(glyph.gmptGlyphOrigin.x);
      ink_left = std::min(ink_left, ink);
      ink_right = std::max(ink_right, ink + static_cast<int>(glyph.gmBlackBoxX));
    } else if (SIZE cell{}; ::GetTextExtentPoint32W(dc, &character, 1, &cell)) {
      advance = cell.cx;  // a font without outlines: its advance alone
    }
    layout.advances.push_back(advance);
    pen += advance;
  }
  TEXTMETRICA metrics{};  // the height alone: either form serves
  ::GetTextMetricsA(dc, &metrics);
  layout.origin = -ink_left;
  layout.size = {std::max(pen, ink_right) - ink_left, metrics.tmHeight};
  return layout;
}

}  // namespace forms::win32
