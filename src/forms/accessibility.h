#pragma once
// What a screen reader is told about a picture box: the picture itself,
// read as a graphic named after the window's caption, and the links drawn
// on it (labels with a link target, which have no native object of their
// own) as its children 1, 2, ... in creation order. The model answers every
// question; a backend only converts the answers into its accessibility
// interface's types and coordinates.
#include <cstdint>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/layout.h"

namespace forms {

enum class AccessibleRole : std::uint8_t { Graphic, Link };

// States, as bits.
inline constexpr std::uint32_t kAccessibleLinked = 1u << 0;
inline constexpr std::uint32_t kAccessibleInvisible = 1u << 1;
inline constexpr std::uint32_t kAccessibleUnavailable = 1u << 2;
inline constexpr std::uint32_t kAccessibleFocusable = 1u << 3;

// One link, as a screen reader reads it.
struct AccessibleLink {
  AccessibleRole role = AccessibleRole::Link;
  std::string name;            // its caption
  std::string value;           // where it leads
  std::string default_action;  // what its default action is called
  std::uint32_t states = 0;
  PixelRect rect;  // in pixels of the window's client area, as drawn
};

class AccessiblePicture {
 public:
  explicit AccessiblePicture(const Control& picture_box) : picture_(&picture_box) {}

  // The window's caption names the picture.
  const std::string& Name() const;
  AccessibleRole Role() const noexcept { return AccessibleRole::Graphic; }

  // The links, in creation order: child n is Links()[n - 1].
  std::vector<Control*> Links() const;
  // The child id of the link at a point of the window (in twips), or 0 when
  // no link is there.
  int LinkAt(PointTwips in_window) const;
  AccessibleLink Describe(const Control& link, const PixelGrid& grid) const;

 private:
  const Control* picture_;
};

}  // namespace forms
