#include "forms/win32/win32_runtime.h"

#include <algorithm>

#include "forms/error.h"
#include "forms/win32/shell_thread.h"
#include "forms/win32/system_library.h"
#include "forms/win32/text.h"

namespace forms::win32 {
namespace {

int SystemDpi() {
  UINT(WINAPI * dpi_for_system)() = nullptr;
  FindFunction(::GetModuleHandleW(L"user32.dll"), "GetDpiForSystem", dpi_for_system);
  if (dpi_for_system != nullptr) return static_cast<int>(dpi_for_system());
  ScreenDc screen;
  const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
  return dpi > 0 ? dpi : 96;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

Win32Runtime::Win32Runtime(Options options)
    : module_(::GetModuleHandleW(nullptr)),
      scale_{options.dpi > 0 ? options.dpi : SystemDpi()},
      dpi_fixed_(options.dpi > 0) {
  RegisterClasses();
  // A failure ends the program where it is raised; this runtime's own end
  // comes first.
  SetFailureExit([](void* self) { static_cast<Win32Runtime*>(self)->Shutdown(); }, this);
}

Win32Runtime::~Win32Runtime() {
  ClearFailureExit(this);
  Shutdown();
}

// The shell starts handed over are completed and the shell's thread ends;
// the windows go. Safe to repeat.
void Win32Runtime::Shutdown() {
  FinishShellStarts();
  closing_ = true;       // the windows' last messages do not reach the model, which may be gone
  form_window_.reset();  // its timers go with it
  owner_window_.reset();
  // A quit request that no loop has seen must not end the next loop on this thread.
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  shell_thread_.reset();
}

HWND Win32Runtime::WindowOf(const Control& control) const noexcept {
  return control.peer != nullptr ? PeerOf(control).window : nullptr;
}

void Win32Runtime::CreatePeer(Control& control) {
  auto owned = std::make_unique<Peer>();
  Peer& peer = *owned;
  peer.runtime = this;
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
// a hidden owner takes that role over (AdoptOwner). Until the show places it,
// it has no size: nothing is drawn for it, and Load gives it its first size.
void Win32Runtime::CreateFormWindow(Peer& peer) {
  Control& form = *peer.control;
  const RECT r = PixelRect(form);
  form_window_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, L"KvdForm", Widen(form.Caption.Get()).c_str(),
                                       WS_POPUP | WS_CLIPCHILDREN, r.left, r.top, 0, 0, nullptr, nullptr, module_,
                                       &peer));
  if (!form_window_) Raise("window " + form.Name() + " could not be created");
  peer.window = form_window_.get();
  peer.applied = {r.left, r.top, r.left, r.top};
  peer.placed = true;
  // Nothing is measured or placed yet: take the dpi of the window's monitor.
  if (const int dpi = WindowDpi(peer.window); !dpi_fixed_ && dpi > 0) scale_.dpi = dpi;
}

// A hidden owner keeps the window off the taskbar but in Alt+Tab, where a
// tool window is not listed. A second top-level window costs the first frame
// a few milliseconds, so it is made just after the show, before the window is
// first activated: Alt+Tab lists the window its owner last activated. It has
// no caption, so that a search for the window by its caption finds the window
// itself. Without an owner the window stays a tool window.
void Win32Runtime::AdoptOwner() {
  const HWND window = form_window_.get();
  owner_window_.reset(::CreateWindowExW(0, L"KvdOwner", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module_,
                                        &PeerOf(*form_)));
  if (!owner_window_) return;
  ::SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner_window_.get()));
  ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_TOOLWINDOW);
}

// The window's icons, for Alt+Tab.
void Win32Runtime::SetIcons() {
  if (form_->Icon.empty()) return;
  const std::wstring icon = Widen(form_->Icon);
  const auto load = [this, &icon](int metric_x, int metric_y) {
    return static_cast<HICON>(
        ::LoadImageW(module_, icon.c_str(), IMAGE_ICON, ::GetSystemMetrics(metric_x), ::GetSystemMetrics(metric_y), 0));
  };
  big_icon_.reset(load(SM_CXICON, SM_CYICON));
  small_icon_.reset(load(SM_CXSMICON, SM_CYSMICON));
  for (HWND window : {owner_window_.get(), form_window_.get()}) {
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
  }
}

// Made from the model as it stands now: whatever Load wrote to a button
// before it existed (its caption, whether it is enabled) it shows from the start.
void Win32Runtime::CreateDeferred() {
  // The first button loads common controls 6, which imports msimg32; the
  // loader would look for that beside the launcher first, where a planted
  // copy may wait. Loaded from System32 now, the import finds it loaded.
  LoadSystemLibrary(L"msimg32.dll");
  for (auto& peer : peers_)
    if (peer->control->GetKind() == Kind::CommandButton && peer->window == nullptr) CreateChildWindow(*peer);
  SetIcons();
  for (auto& peer : peers_)
    if (peer->control->GetKind() == Kind::Label && !peer->control->MouseIcon.empty())
      CursorFor(peer->control->MouseIcon);
}

void Win32Runtime::CreateChildWindow(Peer& peer) {
  Control& control = *peer.control;
  const bool button = control.GetKind() == Kind::CommandButton;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (control.Visible) style |= WS_VISIBLE;
  if (!control.Enabled) style |= WS_DISABLED;
  if (control.TabStop) style |= WS_TABSTOP;
  // A push button is never the default button.
  style |= button ? BS_PUSHBUTTON : WS_CLIPCHILDREN;
  const RECT r = PixelRect(control);
  const std::wstring caption = button ? Widen(control.Caption.Get()) : std::wstring();
  peer.id = next_child_id_++;
  peer.window = ::CreateWindowExW(
      0, button ? L"BUTTON" : L"KvdPicture", caption.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
      ParentWindow(control), reinterpret_cast<HMENU>(static_cast<INT_PTR>(peer.id)), module_, button ? nullptr : &peer);
  if (peer.window == nullptr) Raise("control " + control.Name() + " could not be created");
  peer.applied = r;
  peer.placed = true;
  if (button) {
    ::SetWindowLongPtrW(peer.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&peer));
    button_proc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(peer.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Runtime::ButtonProc)));
    ApplyFont(peer);
  }
}

HWND Win32Runtime::ParentWindow(const Control& control) const noexcept {
  const Control* container = control.Container();
  return container != nullptr ? PeerOf(*container).window : form_window_.get();
}

RECT Win32Runtime::PixelRect(const Control& control) const {
  const forms::PixelRect r = RectInContainer(control, scale_);
  return {r.left, r.top, r.right, r.bottom};
}

// The native window moves only when its pixel rectangle changes, or when
// the move carries more (flags: the show).
void Win32Runtime::ApplyGeometry(Control& control, UINT flags) {
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
void Win32Runtime::InvalidateWindowless(Peer& peer) {
  const HWND container = ParentWindow(*peer.control);
  if (container == nullptr) return;
  if (peer.placed) ::InvalidateRect(container, &peer.applied, FALSE);
  peer.applied = PixelRect(*peer.control);
  peer.placed = true;
  ::InvalidateRect(container, &peer.applied, FALSE);
}

// A button gets its new font before the old one is deleted.
void Win32Runtime::ApplyFont(Peer& peer) {
  bool replaced = false;
  const HFONT font = peer.font.Get(peer.control->Font, scale_.dpi, &replaced);
  if (replaced) ::SendMessageW(peer.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  peer.font.DropPrevious();
}

void Win32Runtime::PropertyChanged(Control& control, Prop property) {
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
      ::SetWindowTextW(peer.window, Widen(control.Caption.Get()).c_str());
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
SizeTwips Win32Runtime::MeasureAutoSize(const Control& control) {
  Peer& peer = PeerOf(control);
  if (control.GetKind() == Kind::PictureBox) {
    if (!peer.artwork) return {control.Width, control.Height};
    return AutoSizeOf(control, {peer.artwork->WidthPx(), peer.artwork->HeightPx(), peer.artwork->Dpi()}, scale_);
  }
  const HFONT font = peer.font.Get(control.Font, scale_.dpi);
  peer.font.DropPrevious();
  ScreenDc screen;
  SelectScope select(screen.get(), font);
  const SIZE size = LayOutCaption(screen.get(), Widen(control.Caption.Get())).size;
  return {scale_.Twips(size.cx), scale_.Twips(size.cy)};
}

// The show, one step at a time: the hidden window moves, sizes and shows in
// one step without being activated (activation is the slowest part of a
// show), and paints its first frame; it then gets its owner and is made the
// active window.
void Win32Runtime::PerformShowStep(Form& form, ShowStep step) {
  const HWND window = PeerOf(form).window;
  switch (step) {
    case ShowStep::PlaceAndShow:
      shown_ = true;
      ApplyGeometry(form, SWP_SHOWWINDOW);
      ApplyMovedGeometry();
      break;
    case ShowStep::PaintFirstFrame:
      ::UpdateWindow(window);
      break;
    case ShowStep::TakeOwner:
      AdoptOwner();
      break;
    case ShowStep::Activate:
      ::ShowWindow(window, SW_SHOWNORMAL);
      ::SetForegroundWindow(window);
      break;
    case ShowStep::ReleaseShellStarts:
      if (shell_thread_) shell_thread_->Release();
      break;
    case ShowStep::CreateDeferred:
      CreateDeferred();
      break;
  }
}

void Win32Runtime::EventDone(Form&) { ApplyMovedGeometry(); }

// Before the window is shown, nothing moves: the show places it.
void Win32Runtime::ApplyMovedGeometry() {
  if (!shown_ || closing_) return;
  for (auto& peer : peers_)
    if (peer->moved && peer->window != nullptr) ApplyGeometry(*peer->control);
}

void Win32Runtime::FocusChanged(Form& form, Control* focus) {
  if (closing_) return;
  const HWND target = focus != nullptr && WindowOf(*focus) != nullptr ? WindowOf(*focus) : WindowOf(form);
  if (target != nullptr && ::GetFocus() != target) ::SetFocus(target);
}

NativeHandle Win32Runtime::WindowHandle(const Form&) { return reinterpret_cast<NativeHandle>(form_window_.get()); }

// The child windows go with the window; fonts only after the windows using them.
void Win32Runtime::Unload(Form&) {
  timers_.StopAll();  // the window's timers go with it
  closing_ = true;                                       // the windows' last messages do not reach the model
  form_window_.reset();
  owner_window_.reset();
  closing_ = false;
  for (auto& peer : peers_) {
    peer->window = nullptr;
    peer->font.Release();
  }
}

void Win32Runtime::StartTimer(Timer& timer, int interval_ms) { timers_.Start(form_window_.get(), timer, interval_ms); }

void Win32Runtime::StopTimer(Timer& timer) { timers_.Stop(form_window_.get(), timer); }

void Win32Runtime::EndProgram(int status) {
  if (ended_) return;
  ended_ = true;
  exit_status_ = status;
  ::PostQuitMessage(status);
}

}  // namespace forms::win32
