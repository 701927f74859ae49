#pragma once
// A control's own font, made from the model's font object at the screen's
// dpi. The attributes are compared on every use, so the handle always
// matches the model. A replaced handle is kept until the caller has handed
// the new one to whatever used the old one (a button's WM_SETFONT) and calls
// DropPrevious; fonts are otherwise selected only inside a SelectScope.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "forms/control.h"
#include "windows/owned_handle.h"

namespace forms::win32 {

class FontCache {
 public:
  // The font for `font` at `dpi`; sets *replaced when a new handle was made.
  HFONT Get(const FontObject& font, int dpi, bool* replaced = nullptr);
  // Deletes the handle that the last Get replaced.
  void DropPrevious() noexcept { previous_.reset(); }
  // Deletes every handle; only after no window or DC uses them any more.
  void Release() noexcept {
    previous_.reset();
    handle_.reset();
  }

 private:
  struct Key {
    std::string name;
    float size = 0;
    int weight = 0;
    bool italic = false, underline = false, strikethrough = false;
    int dpi = 0;
    bool operator==(const Key&) const = default;
  };
  Key key_;
  windows::OwnedFont handle_;
  windows::OwnedFont previous_;
};

// A caption laid out in the font selected into `dc`, glyph by glyph as that
// font draws them: a label is sized from this and painted with it, so its
// rectangle holds every pixel of its glyphs, overhangs included.
struct CaptionLayout {
  std::vector<INT> advances;  // one per character, for ExtTextOutW
  int origin = 0;             // where the first pen stands: right of the left edge by the ink left of it
  SIZE size{};                // the advances and the ink, by the font's line height
};
CaptionLayout LayOutCaption(HDC dc, std::wstring_view caption);

}  // namespace forms::win32
