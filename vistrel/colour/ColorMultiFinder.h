#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vistrel/image/AutoImage.h"

namespace vistrel::colour {

/// Where a colour, or a pattern of colours, occurs in a stored image.
class ColorMultiFinder {
 public:
  /// Every pixel of the rectangle matching one of the alternative colours of `firstColor`, in scan
  /// order `orz` (1-8), one point per matching alternative, until `limit` points (limit 0 or below:
  /// only the first comparison). A size of 0 or below means the image's size. The compact JSON
  /// array of {"x","y","index"}, or "" for no hit or an unusable request.
  std::string findColor(image::AutoImage& bitmap, std::string_view firstColor, float threshold,
                        std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                        std::int64_t limit, std::int64_t orz) const;

  /// Every pixel of the rectangle matching the first colour of `firstColor` whose offset `points`
  /// (tested anywhere in the image) match too; index 0. Same result form as `findColor`.
  std::string findMultiColor(image::AutoImage& bitmap, std::string_view firstColor,
                             std::string_view points, float threshold, std::int64_t x,
                             std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t limit,
                             std::int64_t orz) const;
};

}  // namespace vistrel::colour
