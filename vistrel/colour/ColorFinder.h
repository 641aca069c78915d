#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "vistrel/colour/ColorUtils.h"
#include "vistrel/image/AutoImage.h"

namespace vistrel::colour {

/// Whether given pixels have given colours.
class ColorFinder {
 public:
  /// `points` is a JSON array of group texts ("X|Y|COLOUR-OFFSET,..." with absolute positions).
  /// The index of the first group whose every point matches, or -1: also for no pixel array, a
  /// text that is not a JSON array of strings (one line on standard output), an empty group or a
  /// group without a well-formed point before the first match. The region is not used.
  std::int64_t cmpMultiColor(image::AutoImage& bitmap, std::string_view points, float threshold,
                             std::int64_t startX = 0, std::int64_t startY = 0,
                             std::int64_t rangeWidth = 0, std::int64_t rangeHeight = 0) const;

  /// True when every point matches its pixel (an empty list holds); points outside fail.
  static bool cmpOneLine(const image::PixelArray& pix, const std::vector<PointEntry>& point,
                         float threshold);
};

}  // namespace vistrel::colour
