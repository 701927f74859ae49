#include "forms/win32/window_tree.h"

#include <algorithm>
#include <string_view>

#include "forms/error.h"
#include "windows/dll_search.h"
#include "windows/dpi.h"
#include "windows/system_calls.h"
#include "windows/text.h"

namespace forms::win32 {
namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The whole number that `text` begins with after any blanks, 0 where there
// is none; `text` then begins after it. A number too long to be a pixel
// stays large rather than wrapping. (Parsed here rather than by the C
// library, which Setup.exe does not link.)
DWORD ReadNumber(std::string_view& text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
    text.remove_prefix(1);
  DWORD number = 0;
  for (; !text.empty() && text.front() >= '0' && text.front() <= '9'; text.remove_prefix(1))
    if (number < 100000) number = number * 10 + static_cast<DWORD>(text.front() - '0');
  return number;
}

}  // namespace

HWND WindowTree::WindowOf(const Control& control) const noexcept {
  return control.peer != nullptr ? PeerOf(control).window : nullptr;
}

void WindowTree::Add(Control& control, Win32Runtime* runtime) {
  auto owned = std::make_unique<Peer>();
  Peer& peer = *owned;
  peer.runtime = runtime;
  peer.control = &control;
  peers_.push_back(std::move(owned));
  switch (control.GetKind()) {
    case Kind::Form:
      form_ = static_cast<Form*>(&control);
      CreateFormWindow(peer);
      break;
    case Kind::PictureBox:
      if (!control.Picture.empty()) peer.artwork = std::make_unique<Artwork>(module_, control.Picture);
      CreateChildWindow(peer);
      break;
    case Kind::CommandButton:
      if (shown_) CreateChildWindow(peer);
      break;
    case Kind::Label:
      if (shown_ && !control.MouseIcon.empty()) CursorFor(control.MouseIcon);
      break;
    case Kind::Timer:
      break;
  }
  control.peer = &peer;
  if (control.GetKind() == Kind::Label) InvalidateWindowless(peer);
}

// The window is a borderless popup: no frame, title bar or system menu. It
// starts as a tool window, which has no taskbar button; once it is on screen
// a hidden owner takes that role over (TakeOwner). Until the show places it,
// it has no size: nothing is drawn for it, and Load gives it its first size.
void WindowTree::CreateFormWindow(Peer& peer) {
  Control& form = *peer.control;
  const RECT r = PixelRect(form);
  form_window_.reset(windows::Calls().create_window(
      WS_EX_TOOLWINDOW, L"KvdForm", windows::Widen(form.Caption.Get()).c_str(), WS_POPUP | WS_CLIPCHILDREN, r.left,
      r.top, 0, 0, nullptr, nullptr, module_, &peer));
  if (!form_window_) Raise("window " + form.Name() + " could not be created");
  peer.window = form_window_.get();
  peer.applied = {r.left, r.top, r.left, r.top};
  peer.placed = true;
  // Nothing is measured or placed yet: take the dpi of the window's monitor.
  if (const int dpi = windows::WindowDpi(peer.window); !dpi_fixed_ && dpi > 0) scale_.dpi = dpi;
}

// A hidden owner keeps the window off the taskbar but in Alt+Tab, where a
// tool window is not listed. A second top-level window costs the first frame
// a few milliseconds, so it is made just after the show, before the window is
// first activated: Alt+Tab lists the window its owner last activated. It has
// no caption, so that a search for the window by its caption finds the window
// itself. Without an owner the window stays a tool window.
void WindowTree::TakeOwner() {
  const HWND window = form_window_.get();
  owner_window_.reset(windows::Calls().create_window(0, L"KvdOwner", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                                     module_, &PeerOf(*form_)));
  if (!owner_window_) return;
  windows::Calls().set_window_long(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner_window_.get()));
  windows::Calls().set_window_long(window, GWL_EXSTYLE,
                                   windows::Calls().get_window_long(window, GWL_EXSTYLE) & ~WS_EX_TOOLWINDOW);
}

// The window's icons, for Alt+Tab.
void WindowTree::SetIcons() {
  if (form_->Icon.empty()) return;
  const std::wstring icon = windows::Widen(form_->Icon);
  const auto load = [this, &icon](int metric_x, int metric_y) {
    return static_cast<HICON>(windows::Calls().load_image(
        module_, icon.c_str(), IMAGE_ICON, ::GetSystemMetrics(metric_x), ::GetSystemMetrics(metric_y), 0));
  };
  big_icon_.reset(load(SM_CXICON, SM_CYICON));
  small_icon_.reset(load(SM_CXSMICON, SM_CYSMICON));
  for (HWND window : {owner_window_.get(), form_window_.get()}) {
    windows::Calls().send_message(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
    windows::Calls().send_message(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
  }
}

// Made from the model as it stands now: whatever Load wrote to a button
// before it existed (its caption, whether it is enabled) it shows from the start.
void WindowTree::CreateDeferred() {
  windows::LoadCommonControlsImportsFromSystem();
  for (auto& peer : peers_)
    if (peer->control->GetKind() == Kind::CommandButton && peer->window == nullptr) CreateChildWindow(*peer);
  SetIcons();
  MakePointers();
}

// The labels' pointers at the dpi in force, made before the pointer first
// goes over a label.
void WindowTree::MakePointers() {
  for (auto& peer : peers_)
    if (peer->control->GetKind() == Kind::Label && !peer->control->MouseIcon.empty())
      CursorFor(peer->control->MouseIcon);
}

void WindowTree::CreateChildWindow(Peer& peer) {
  Control& control = *peer.control;
  const bool button = control.GetKind() == Kind::CommandButton;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (control.Visible) style |= WS_VISIBLE;
  if (!control.Enabled) style |= WS_DISABLED;
  if (control.TabStop) style |= WS_TABSTOP;
  // A push button is never the default button.
  style |= button ? BS_PUSHBUTTON : WS_CLIPCHILDREN;
  const RECT r = PixelRect(control);
  const std::wstring caption = button ? windows::Widen(control.Caption.Get()) : std::wstring();
  peer.id = next_child_id_++;
  peer.window = windows::Calls().create_window(
      0, button ? L"BUTTON" : L"KvdPicture", caption.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
      ParentWindow(control), reinterpret_cast<HMENU>(static_cast<INT_PTR>(peer.id)), module_, button ? nullptr : &peer);
  if (peer.window == nullptr) Raise("control " + control.Name() + " could not be created");
  peer.applied = r;
  peer.placed = true;
  if (button) {
    windows::Calls().set_window_long(peer.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&peer));
    system_button_proc_ = reinterpret_cast<WNDPROC>(
        windows::Calls().set_window_long(peer.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(button_proc_)));
    ApplyFont(peer);
  }
}

HWND WindowTree::ParentWindow(const Control& control) const noexcept {
  const Control* container = control.Container();
  return container != nullptr ? PeerOf(*container).window : form_window_.get();
}

RECT WindowTree::PixelRect(const Control& control) const {
  const forms::PixelRect r = RectInContainer(control, scale_);
  return {r.left, r.top, r.right, r.bottom};
}

// The native window moves only when its pixel rectangle changes, or when
// the move carries more (flags: the show).
void WindowTree::ApplyGeometry(Control& control, UINT flags) {
  Peer& peer = PeerOf(control);
  peer.moved = false;
  if (control.GetKind() == Kind::Label) {
    InvalidateWindowless(peer);
    return;
  }
  if (peer.window == nullptr) return;
  const RECT r = PixelRect(control);
  if (flags == 0 && peer.placed && SameRect(r, peer.applied)) return;
  if (!::SetWindowPos(peer.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | flags))
    Raise("control " + control.Name() + " could not be moved");
  peer.applied = r;
  peer.placed = true;
}

// A label has no window: its container repaints where it was and where it is.
void WindowTree::InvalidateWindowless(Peer& peer) {
  const HWND container = ParentWindow(*peer.control);
  if (container == nullptr) return;
  if (peer.placed) ::InvalidateRect(container, &peer.applied, FALSE);
  peer.applied = PixelRect(*peer.control);
  peer.placed = true;
  ::InvalidateRect(container, &peer.applied, FALSE);
}

// A button gets its new font before the old one is deleted.
void WindowTree::ApplyFont(Peer& peer) {
  bool replaced = false;
  const HFONT font = peer.font.Get(peer.control->Font, scale_.dpi, &replaced);
  if (replaced) windows::Calls().send_message(peer.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  peer.font.DropPrevious();
}

void WindowTree::PropertyChanged(Control& control, Prop property) {
  if (closing_) return;
  Peer& peer = PeerOf(control);
  // A label has no window: whatever changed, its container repaints it.
  if (control.GetKind() == Kind::Label) {
    InvalidateWindowless(peer);
    return;
  }
  if (peer.window == nullptr) return;  // timers
  switch (property) {
    case Prop::Left:
    case Prop::Top:
    case Prop::Width:
    case Prop::Height:
      // Applied when the event is done: one move however many values changed.
      peer.moved = true;
      break;
    case Prop::Enabled:
      ::EnableWindow(peer.window, control.Enabled ? TRUE : FALSE);
      break;
    case Prop::Visible:
      ::ShowWindow(peer.window, control.Visible ? SW_SHOWNA : SW_HIDE);
      break;
    case Prop::Caption:
      windows::Calls().set_window_text(peer.window, windows::Widen(control.Caption.Get()).c_str());
      break;
    case Prop::Font:
      if (control.GetKind() == Kind::CommandButton) ApplyFont(peer);
      break;
    case Prop::ForeColor:
    case Prop::Interval:  // the form restarts the timer
      break;
  }
}

// A label measures its caption in its own font as painted; a picture box is its
// picture at the picture's own resolution plus a one-pixel border.
SizeTwips WindowTree::MeasureAutoSize(const Control& control) {
  Peer& peer = PeerOf(control);
  if (control.GetKind() == Kind::PictureBox) {
    if (!peer.artwork) return {control.Width, control.Height};
    return AutoSizeOf(control, {peer.artwork->WidthPx(), peer.artwork->HeightPx(), peer.artwork->Dpi()}, scale_);
  }
  const HFONT font = peer.font.Get(control.Font, scale_.dpi);
  peer.font.DropPrevious();
  windows::ScreenDc screen;
  windows::SelectScope select(screen.get(), font);
  const SIZE size = LayOutCaption(screen.get(), windows::Widen(control.Caption.Get())).size;
  return {scale_.Twips(size.cx), scale_.Twips(size.cy)};
}

// Before the window is shown, nothing moves: the show places it.
void WindowTree::ApplyMovedGeometry() {
  if (!shown_ || closing_) return;
  for (auto& peer : peers_)
    if (peer->moved && peer->window != nullptr) ApplyGeometry(*peer->control);
}

// The window moves, sizes and shows in one step, without being activated.
void WindowTree::PlaceAndShow() {
  shown_ = true;
  ApplyGeometry(*form_, SWP_SHOWWINDOW);
  ApplyMovedGeometry();
}

void WindowTree::SetDpi(int dpi) noexcept {
  scale_.dpi = dpi;
  for (auto& peer : peers_) peer->placed = false;
}

// Every native window again from the model, at the dpi now in force; the
// buttons get fonts and the labels pointers of the new size.
void WindowTree::Rescale() {
  for (auto& peer : peers_) {
    Control& control = *peer->control;
    if (control.GetKind() == Kind::CommandButton && peer->window != nullptr) ApplyFont(*peer);
    if (control.GetKind() != Kind::Timer) ApplyGeometry(control);
  }
  if (shown_) MakePointers();
  ::RedrawWindow(form_window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void WindowTree::Destroy() noexcept {
  closing_ = true;
  form_window_.reset();
  owner_window_.reset();
  for (auto& peer : peers_) {
    peer->window = nullptr;
    peer->font.Release();
  }
}

// The pointer image is an icon resource holding the pointer drawn at 32 x 32
// and at the sizes of the system's pointers on larger scales; Windows scales
// the nearest one for any other size. Its active point, in pixels of the
// 32 x 32 drawing, comes from the RCDATA resource of the same name ("x y").
// Made once for each name and size.
HCURSOR WindowTree::CursorFor(const std::string& name) {
  constexpr DWORD kDrawnSize = 32;
  const int size = windows::PointerSize(scale_.dpi);
  for (const NamedCursor& made : cursors_)
    if (made.name == name && made.size == size) return made.cursor.get();
  const std::wstring wide = windows::Widen(name);
  windows::OwnedIcon icon(
      static_cast<HICON>(windows::Calls().load_image(module_, wide.c_str(), IMAGE_ICON, size, size, 0)));
  if (!icon) return windows::ArrowCursor();
  ICONINFO info{};
  if (!::GetIconInfo(icon.get(), &info)) return windows::ArrowCursor();
  windows::OwnedBitmap mask(info.hbmMask), color(info.hbmColor);
  info.fIcon = FALSE;
  info.xHotspot = info.yHotspot = 0;
  if (HRSRC found = ::FindResourceW(module_, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */)) {
    const auto* text = static_cast<const char*>(::LockResource(::LoadResource(module_, found)));
    std::string_view hotspot(text != nullptr ? text : "", text != nullptr ? ::SizeofResource(module_, found) : 0);
    info.xHotspot = std::min(ReadNumber(hotspot), kDrawnSize - 1) * size / kDrawnSize;
    info.yHotspot = std::min(ReadNumber(hotspot), kDrawnSize - 1) * size / kDrawnSize;
  }
  windows::OwnedCursor cursor(::CreateIconIndirect(&info));
  if (!cursor) return windows::ArrowCursor();
  cursors_.push_back({name, size, std::move(cursor)});
  return cursors_.back().cursor.get();
}

HCURSOR WindowTree::LinkCursor() const noexcept {
  const int size = windows::PointerSize(scale_.dpi);
  for (const NamedCursor& made : cursors_)
    if (made.name == cursors_.front().name && made.size == size) return made.cursor.get();
  return nullptr;
}

}  // namespace forms::win32
