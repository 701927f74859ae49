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
    drawn = picture.artwork->ScaledSize(dpi);
    // Only the rows the paint can reach are asked for: during the opening
    // the window shows a strip of the picture box.
    RECT reach = client;
    if (::GetClipBox(dc, &reach) == ERROR) reach = client;
    const LONG bottom = std::min<LONG>({inside.bottom, inside.top + drawn.cy, reach.bottom});
    const LONG first = std::max<LONG>(0, reach.top - inside.top);
    if (inside.top + first < bottom) {
      const Artwork::Band band =
          picture.artwork->ForRows(dpi, static_cast<int>(first), static_cast<int>(bottom - inside.top - first));
      windows::OwnedMemoryDc memory(::CreateCompatibleDC(dc));
      windows::SelectScope select(memory.get(), band.bitmap);
      ::BitBlt(dc, inside.left, inside.top + first, std::min<LONG>(drawn.cx, inside.right - inside.left),
               bottom - inside.top - first, memory.get(), 0, first - band.first_row, SRCCOPY);
    }
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
