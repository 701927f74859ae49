#pragma once
// One owner per handle of the system (GDI, USER and kernel objects): the
// handle is released exactly once, when its owner is reset or destroyed. SelectScope puts the previous object back
// into a device context, so that a font or bitmap is never deleted while a DC
// still has it selected.
#include <windows.h>

#include <utility>

namespace windows {

template <class Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;

  Owned() noexcept = default;
  explicit Owned(Handle handle) noexcept : handle_(handle) {}
  Owned(Owned&& other) noexcept : handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }
  Handle release() noexcept { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != nullptr) Traits::Close(old);
  }

 private:
  Handle handle_ = nullptr;
};

template <class H>
struct GdiObjectTraits {
  using Handle = H;
  static void Close(H handle) noexcept { ::DeleteObject(handle); }
};
struct IconTraits {
  using Handle = HICON;
  static void Close(HICON handle) noexcept { ::DestroyIcon(handle); }
};
struct CursorTraits {
  using Handle = HCURSOR;
  static void Close(HCURSOR handle) noexcept { ::DestroyCursor(handle); }
};
struct WindowTraits {
  using Handle = HWND;
  static void Close(HWND handle) noexcept { ::DestroyWindow(handle); }
};
struct MemoryDcTraits {
  using Handle = HDC;
  static void Close(HDC handle) noexcept { ::DeleteDC(handle); }
};

// Events and threads: kernel objects, whose handles CloseHandle releases
// (the object itself lives on while another handle has it; a thread runs on).
struct KernelObjectTraits {
  using Handle = HANDLE;
  static void Close(HANDLE handle) noexcept { ::CloseHandle(handle); }
};

using OwnedFont = Owned<GdiObjectTraits<HFONT>>;
using OwnedBitmap = Owned<GdiObjectTraits<HBITMAP>>;
using OwnedBrush = Owned<GdiObjectTraits<HBRUSH>>;
using OwnedIcon = Owned<IconTraits>;
using OwnedCursor = Owned<CursorTraits>;
using OwnedWindow = Owned<WindowTraits>;
using OwnedMemoryDc = Owned<MemoryDcTraits>;
using OwnedEvent = Owned<KernelObjectTraits>;
using OwnedThread = Owned<KernelObjectTraits>;

// A lock between the threads of the process, held by LockScope.
class CriticalSection {
 public:
  CriticalSection() noexcept { ::InitializeCriticalSection(&section_); }
  ~CriticalSection() { ::DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

 private:
  friend class LockScope;
  CRITICAL_SECTION section_;
};

// Holds the lock for the lifetime of the scope.
class LockScope {
 public:
  explicit LockScope(CriticalSection& lock) noexcept : section_(&lock.section_) { ::EnterCriticalSection(section_); }
  ~LockScope() { ::LeaveCriticalSection(section_); }
  LockScope(const LockScope&) = delete;
  LockScope& operator=(const LockScope&) = delete;

 private:
  CRITICAL_SECTION* section_;
};

// Selects an object into a DC for the lifetime of the scope.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;
  ~SelectScope() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's paint: its DC from BeginPaint, ended when the scope goes.
class PaintScope {
 public:
  explicit PaintScope(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  HDC dc() const noexcept { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

// The screen's DC, for measuring text outside of painting.
class ScreenDc {
 public:
  ScreenDc() noexcept : dc_(::GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() { ::ReleaseDC(nullptr, dc_); }
  HDC get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

}  // namespace windows
