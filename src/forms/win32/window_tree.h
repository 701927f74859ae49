#pragma once
// The launcher's native windows, one peer for each control: the window (a
// borderless popup) and its hidden owner, the picture box and the push
// buttons as child windows, the labels drawn by their container, and the
// fonts, icons and pointer images they use. It mirrors every property write
// onto them and places them from the model's geometry, rounded to pixels at
// the current dpi; it decides nothing about what the window does.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/layout.h"
#include "forms/win32/accessible.h"
#include "forms/win32/artwork.h"
#include "forms/win32/font_cache.h"
#include "windows/owned_handle.h"

namespace forms::win32 {

class Win32Runtime;

// What the tree keeps for one control (Control::peer points at it).
struct Peer {
  Win32Runtime* runtime = nullptr;  // whose window procedures serve it
  Control* control = nullptr;
  HWND window = nullptr;  // windowed controls; child windows die with their parent
  int id = 0;             // child window id (never IDOK or IDCANCEL)
  RECT applied{};         // pixel rectangle last given to the window system
  bool placed = false;
  bool moved = false;  // the model's geometry changed since it was last applied
  FontCache font;
  std::unique_ptr<Artwork> artwork;  // picture boxes
  AccessibleSlot accessible;         // picture boxes, once a screen reader asked
};

class WindowTree {
 public:
  // button_proc goes in front of the system's own procedure of each push
  // button (SystemButtonProc).
  WindowTree(HINSTANCE module, int dpi, bool dpi_fixed, WNDPROC button_proc)
      : module_(module), scale_{dpi}, dpi_fixed_(dpi_fixed), button_proc_(button_proc) {}
  WindowTree(const WindowTree&) = delete;
  WindowTree& operator=(const WindowTree&) = delete;

  // The native object of a new control, created from the model as it
  // stands; `runtime`'s window procedures serve its windows. What the
  // first frame does not need waits for CreateDeferred.
  void Add(Control& control, Win32Runtime* runtime);
  void PropertyChanged(Control& control, Prop property);
  SizeTwips MeasureAutoSize(const Control& control);

  // The show, step by step (runtime.h's kShowOrder).
  void PlaceAndShow();
  void TakeOwner();
  // The buttons (the first loads the common controls), the icons and the
  // link pointer.
  void CreateDeferred();
  // Applies the geometry of every window whose model changed, one move each.
  void ApplyMovedGeometry();
  // A new dpi: SetDpi, then the model has its say, then Rescale places
  // everything again.
  void SetDpi(int dpi) noexcept;
  void Rescale();
  // Destroys the windows (the child windows go with theirs), then the fonts
  // they used. For good: their last messages no longer reach the model.
  void Destroy() noexcept;
  // The window was destroyed from outside: forget it without destroying it.
  void Forget() noexcept { form_window_.release(); }

  // Whether window messages may reach the model: not once the windows are
  // being torn down, when the form may already be gone.
  bool Live() const noexcept { return !closing_ && form_ != nullptr && form_->IsLoaded(); }
  bool Shown() const noexcept { return shown_; }
  bool Closing() const noexcept { return closing_; }
  Form& Window() const noexcept { return *form_; }
  HWND FormWindow() const noexcept { return form_window_.get(); }
  HWND WindowOf(const Control& control) const noexcept;
  static Peer& PeerOf(const Control& control) noexcept { return *static_cast<Peer*>(control.peer); }
  const PixelGrid& Scale() const noexcept { return scale_; }
  // A control's rectangle in pixels of its container's client area (of the
  // screen for the window).
  RECT PixelRect(const Control& control) const;
  // The pointer image of that name (an icon resource with its active point)
  // at the size of the system's pointers at the dpi in force; the arrow when
  // it cannot be made.
  HCURSOR CursorFor(const std::string& name);
  // The pointer image of the first name asked for (the launcher has one: its
  // link's) at the dpi in force, once made; nullptr before.
  HCURSOR LinkCursor() const noexcept;
  WNDPROC SystemButtonProc() const noexcept { return system_button_proc_; }

 private:
  void CreateFormWindow(Peer& peer);
  void CreateChildWindow(Peer& peer);
  HWND ParentWindow(const Control& control) const noexcept;
  void ApplyGeometry(Control& control, UINT flags = 0);
  void InvalidateWindowless(Peer& peer);
  void ApplyFont(Peer& peer);
  void SetIcons();
  void MakePointers();

  HINSTANCE module_;
  PixelGrid scale_;
  bool dpi_fixed_;  // a test chose the dpi
  WNDPROC button_proc_;
  WNDPROC system_button_proc_ = nullptr;
  Form* form_ = nullptr;
  std::vector<std::unique_ptr<Peer>> peers_;
  windows::OwnedWindow owner_window_;  // hidden owner: keeps the window off the taskbar, not out of Alt+Tab
  windows::OwnedWindow form_window_;   // destroyed before its owner
  windows::OwnedIcon big_icon_, small_icon_;
  struct NamedCursor {
    std::string name;
    int size;
    windows::OwnedCursor cursor;
  };
  std::vector<NamedCursor> cursors_;  // each pointer image made, with its name and size
  int next_child_id_ = 100;
  bool shown_ = false;  // the window has been on screen
  bool closing_ = false;
};

}  // namespace forms::win32
