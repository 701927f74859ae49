#pragma once
// The forms runtime on real windows. The window procedures only translate
// window messages into raw events at the window's door and mirror property
// writes onto the native windows; the model decides everything else.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/layout.h"
#include "forms/runtime.h"
#include "forms/win32/accessible.h"
#include "forms/win32/artwork.h"
#include "forms/win32/font_cache.h"
#include "forms/win32/owned_handle.h"
#include "forms/win32/timer_table.h"

namespace forms::win32 {

struct Options {
  int dpi = 0;  // 0: the system's dpi; tests set another to check scaling
};

// What the runtime keeps for one control (Control::peer points at it).
class Win32Runtime;
class ShellThread;

struct Peer {
  Win32Runtime* runtime = nullptr;
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

class Win32Runtime : public Runtime {
 public:
  explicit Win32Runtime(Options options = {});
  ~Win32Runtime() override;
  Win32Runtime(const Win32Runtime&) = delete;
  Win32Runtime& operator=(const Win32Runtime&) = delete;

  // Runs the message loop until EndProgram; returns its status.
  int Run();
  // Handles the messages that arrive within wait_ms (at least those already
  // queued); false once the program has ended.
  bool ProcessMessages(DWORD wait_ms);
  bool Ended() const noexcept { return ended_; }
  int ExitStatus() const noexcept { return exit_status_; }

  int Dpi() const noexcept { return scale_.dpi; }
  HWND WindowOf(const Control& control) const noexcept;
  // A control's rectangle in pixels of its container's client area (of the
  // screen for the window).
  RECT PixelRect(const Control& control) const;
  // A point of `window` (HWND_DESKTOP: of the screen) in twips of the
  // window's client area.
  PointTwips ToWindowTwips(HWND window, POINT point) const;
  // The pointer shown over a label with a mouse icon (null before it exists).
  HCURSOR LinkCursor() const noexcept { return link_cursor_.get(); }

  // Runtime.
  void CreatePeer(Control& control) override;
  void PropertyChanged(Control& control, Prop property) override;
  void EventDone(Form& form) override;
  SizeTwips MeasureAutoSize(const Control& control) override;
  void PerformShowStep(Form& form, ShowStep step) override;
  void FocusChanged(Form& form, Control* focus) override;
  void CaptureChanged(Form& form, bool captured) override;
  void ShowPressed(Control& button, bool pressed) override;
  NativeHandle WindowHandle(const Form& form) override;
  void Unload(Form& form) override;
  void EndProgram(int status) override;
  void StartTimer(Timer& timer, int interval_ms) override;
  void StopTimer(Timer& timer) override;
  int MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) override;
  ScreenInfo Screen() override;
  std::string AppFolder() override;
  int ShellStart(const ShellRequest& request) override;

  // Waits until every shell request handed over so far has been performed.
  void FinishShellStarts();

 protected:
  // Performs one request on the shell's thread (tests record it instead).
  virtual int PerformShellStart(const ShellRequest& request);

 private:
  static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  template <LRESULT (Win32Runtime::*Handle)(Peer&, HWND, UINT, WPARAM, LPARAM)>
  static LRESULT CALLBACK GuardedProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT FormMessage(Peer& peer, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT PictureMessage(Peer& peer, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // Rescales everything for a new dpi (the window moved to another monitor,
  // or the user changed the scale); suggested is the system's new window rect.
  void OnDpiChanged(int dpi, const RECT* suggested);
  static int WindowDpi(HWND window);
  void RegisterClasses();
  void Shutdown();
  Peer& PeerOf(const Control& control) const noexcept { return *static_cast<Peer*>(control.peer); }
  // Whether window messages may reach the model: not while the windows are
  // being torn down, when the form may already be gone.
  bool Live() const noexcept { return !closing_ && form_ != nullptr && form_->IsLoaded(); }

  // Windows and geometry.
  void CreateFormWindow(Peer& peer);
  void AdoptOwner();
  void CreateChildWindow(Peer& peer);
  HWND ParentWindow(const Control& control) const noexcept;
  void ApplyGeometry(Control& control, UINT flags = 0);
  // Applies the geometry of every window whose model changed, one move each.
  void ApplyMovedGeometry();
  void ApplyWritesOutsideEvents();
  // What waits until the window is on screen: the buttons (the first loads
  // the common controls), the icons and the link pointer.
  void CreateDeferred();
  void SetIcons();
  void InvalidateWindowless(Peer& peer);
  void ApplyFont(Peer& peer);

  // Painting (paint.cpp): one function for WM_PAINT and WM_PRINTCLIENT.
  void PaintPicture(Peer& picture, HDC dc);
  HBRUSH BrushFor(Color color);

  // Pointer and keyboard (pointer.cpp, message_loop.cpp).
  // A mouse message for any of the launcher's windows; false: not one.
  bool OnMouse(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  bool OnSetCursor();
  bool InterceptKey(const MSG& message);
  void Dispatch(MSG& message);
  HCURSOR CursorFor(const std::string& name);


  HINSTANCE module_;
  PixelGrid scale_;
  Form* form_ = nullptr;
  std::vector<std::unique_ptr<Peer>> peers_;
  OwnedWindow owner_window_;  // hidden owner: keeps the window off the taskbar, not out of Alt+Tab
  OwnedWindow form_window_;   // destroyed before its owner
  OwnedIcon big_icon_, small_icon_;
  OwnedBrush back_brush_;
  Color back_brush_color_ = 0;
  OwnedCursor link_cursor_;
  std::unique_ptr<ShellThread> shell_thread_;
  TimerTable timers_;
  int next_child_id_ = 100;
  WNDPROC button_proc_ = nullptr;  // the system's own, under ours
  bool dpi_fixed_ = false;         // a test chose the dpi
  bool shown_ = false;             // the window has been on screen
  bool closing_ = false;
  bool ended_ = false;
  int exit_status_ = 0;
};

}  // namespace forms::win32
