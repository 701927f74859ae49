#pragma once
// What a screen reader finds in a picture box: the picture, read as a
// graphic named after the window's caption, and the links drawn on it
// (labels with a link target, which have no window of their own) as its
// children 1, 2, ... in creation order. The object is made when a screen
// reader first asks, with COM and oleacc loaded then, so that start-up pays
// nothing for it; it lives as long as the picture box's window.
#include <windows.h>

namespace forms::win32 {

struct Peer;
class PictureAccessible;

class AccessibleSlot {
 public:
  AccessibleSlot() = default;
  AccessibleSlot(const AccessibleSlot&) = delete;
  AccessibleSlot& operator=(const AccessibleSlot&) = delete;
  ~AccessibleSlot() { Disconnect(); }

  // The answer to WM_GETOBJECT for the picture box; 0: the window system's
  // default answer serves.
  LRESULT Answer(Peer& picture, WPARAM wparam, LPARAM lparam);
  // The window is going: every reference still held elsewhere fails from
  // now on, in this process and in others.
  void Disconnect() noexcept;

 private:
  PictureAccessible* object_ = nullptr;
};

}  // namespace forms::win32
