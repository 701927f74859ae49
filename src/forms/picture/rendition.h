#pragma once
// A picture may be carried in several renditions: the same face drawn at its
// own resolution (1x) and again at whole multiples of it, for screens set to
// a larger scale. The screen draws from the smallest rendition that is at
// least as large as it needs, scaled down smoothly, so text drawn for the
// larger size stays sharp; beyond the largest it scales that one up.
#include <span>
#include <string>

namespace forms::picture {

// The scales a picture's renditions are drawn at, smallest first.
inline constexpr int kRenditionScales[] = {1, 2};

// The scale to draw from, one of `scales` (smallest first, not empty), for a
// picture of picture_dpi shown on a screen of screen_dpi.
int ChooseRendition(std::span<const int> scales, int picture_dpi, int screen_dpi);

// The name a rendition is stored under: the picture's own name at 1x, and
// the name followed by "_", the scale and "x" otherwise ("artwork_2x").
std::string RenditionName(const std::string& picture, int scale);

}  // namespace forms::picture
