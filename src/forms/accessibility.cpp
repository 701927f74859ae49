#include "forms/accessibility.h"

namespace forms {

const std::string& AccessiblePicture::Name() const { return picture_->Owner().Caption.Get(); }

std::vector<Control*> AccessiblePicture::Links() const {
  std::vector<Control*> links;
  for (Control* c : picture_->Owner().ChildrenOf(picture_))
    if (c->GetKind() == Kind::Label && !c->LinkTarget.empty()) links.push_back(c);
  return links;
}

// What takes a click at the point is what a screen reader finds there.
int AccessiblePicture::LinkAt(PointTwips in_window) const {
  const Control* hit = picture_->Owner().ControlAt(in_window);
  const std::vector<Control*> links = Links();
  for (std::size_t i = 0; i < links.size(); ++i)
    if (links[i] == hit) return static_cast<int>(i + 1);
  return 0;
}

// Its default action is a click ("Jump"). A label never holds the focus, so
// a link is never focusable.
AccessibleLink AccessiblePicture::Describe(const Control& link, const PixelGrid& grid) const {
  std::uint32_t states = kAccessibleLinked;
  if (!link.Visible) states |= kAccessibleInvisible;
  if (!link.Enabled) states |= kAccessibleUnavailable;
  if (link.Owner().CanFocus(link)) states |= kAccessibleFocusable;
  return {AccessibleRole::Link, link.Caption.Get(), link.LinkTarget, "Jump", states, RectInWindow(link, grid)};
}

}  // namespace forms
