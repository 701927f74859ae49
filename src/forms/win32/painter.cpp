#include "forms/win32/painter.h"

#include <algorithm>

#include "windows/text.h"

namespace forms::win32 {
namespace {

COLORREF ToColorRef(Color color) {
  // The high bit marks a system colour, indexed by the low byte.
  return (color & 0x80000000u) != 0 ? ::GetSysColor(static_cast<int>(color & 0xFFu))
                                    : static_cast<COLORREF>(color & 0xFFFFFFu);
}

}  // namespace

HBRUSH Painter::BrushFor(Color color) {
  if ((color & 0x80000000u) != 0) return ::GetSysColorBrush(static_cast<int>(color & 0xFFu));
  if (!back_brush_ || back_brush_color_ != color) {
    back_brush_.reset(::CreateSolidBrush(ToColorRef(color)));
    back_brush_color_ = color;
  }
  return back_brush_.get();
}

void Painter::PaintPicture(WindowTree& tree, Peer& picture, HDC dc) {
  const int dpi = tree.Scale().dpi;
  RECT client;
  ::GetClientRect(picture.window, &client);
  // The border is one pixel of the frame colour (BorderPx), at any dpi.
  const int border = BorderPx(*picture.control);
  if (border > 0) ::FrameRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOWFRAME));
  RECT inside = client;
  ::InflateRect(&inside, -border, -border);

  // The artwork from the inner top-left corner; the control's fill colour
  // wherever the artwork does not reach.
  SIZE drawn{};
  if (picture.artwork) {
    const HBITMAP bitmap = picture.artwork->Scaled(dpi);
    drawn = picture.artwork->ScaledSize(dpi);
    windows::OwnedMemoryDc memory(::CreateCompatibleDC(dc));
    windows::SelectScope select(memory.get(), bitmap);
    ::BitBlt(dc, inside.left, inside.top, std::min<LONG>(drawn.cx, inside.right - inside.left),
             std::min<LONG>(drawn.cy, inside.bottom - inside.top), memory.get(), 0, 0, SRCCOPY);
  }
  const HBRUSH fill = BrushFor(picture.control->BackColor);
  if (inside.left + drawn.cx < inside.right) {
    RECT r{inside.left + drawn.cx, inside.top, inside.right, inside.bottom};
    ::FillRect(dc, &r, fill);
  }
  if (inside.top + drawn.cy < inside.bottom) {
    RECT r{inside.left, inside.top + drawn.cy, std::min(inside.right, inside.left + drawn.cx), inside.bottom};
    ::FillRect(dc, &r, fill);
  }

  // Transparent labels: only the glyphs are drawn, in the colour and font the
  // model holds at this moment.
  for (Control* child : tree.Window().ChildrenOf(picture.control)) {
    if (child->GetKind() != Kind::Label || !child->Visible || child->peer == nullptr) continue;
    Peer& label = WindowTree::PeerOf(*child);
    const HFONT font = label.font.Get(child->Font, dpi);
    label.font.DropPrevious();
    const RECT r = tree.PixelRect(*child);
    const std::wstring caption = windows::Widen(child->Caption.Get());
    windows::SelectScope select(dc, font);
    const int old_mode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF old_color =
        ::SetTextColor(dc, child->Enabled ? ToColorRef(child->ForeColor) : ::GetSysColor(COLOR_GRAYTEXT));
    // The glyphs go where the auto-size measured them, so they fill the rectangle exactly.
    const CaptionLayout layout = LayOutCaption(dc, caption);
    ::ExtTextOutW(dc, r.left + layout.origin, r.top, ETO_CLIPPED, &r, caption.c_str(),
                  static_cast<UINT>(caption.size()), layout.advances.data());
    ::SetTextColor(dc, old_color);
    ::SetBkMode(dc, old_mode);
  }
}

}  // namespace forms::win32
