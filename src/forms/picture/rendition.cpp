#include "forms/picture/rendition.h"

namespace forms::picture {

int ChooseRendition(std::span<const int> scales, int picture_dpi, int screen_dpi) {
  // scale * picture_dpi >= screen_dpi, in whole numbers: 120 dpi needs the
  // 2x of a 96-dpi picture, 96 dpi and less its 1x.
  for (int scale : scales)
    if (static_cast<long long>(scale) * picture_dpi >= screen_dpi) return scale;
  return scales.back();
}

std::string RenditionName(const std::string& picture, int scale) {
  return scale == 1 ? picture : picture + "_" + std::to_string(scale) + "x";
}

}  // namespace forms::picture
