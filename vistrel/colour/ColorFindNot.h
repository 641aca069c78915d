#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vistrel/image/AutoImage.h"

namespace vistrel::colour {

/// The pixels of a rectangle that do not have given colours.
class ColorFindNot {
 public:
  /// Visits the rectangle (the whole image, or a copy cut to it) in order `orz`. With
  /// `allNotEquals` a pixel is reported once when it matches none of the alternatives; without it,
  /// once for every alternative whose match outcome equals `same`. Points carry image
  /// coordinates and index 0; the limit test follows every test. "" for no point or an unusable
  /// request.
  std::string findNotColor(image::AutoImage& bitmap, std::string_view firstColor, float threshold,
                           std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                           std::int64_t limit, std::int64_t orz, bool same,
                           bool allNotEquals) const;
};

}  // namespace vistrel::colour
