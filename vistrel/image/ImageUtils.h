#pragma once

#include <cstdint>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::image {

/// Helpers on platform images.
class ImageUtils {
 public:
  /// A copy of the image cut to (max(x, 0), max(y, 0), w, h), w and h first lowered to the image's
  /// size, the rectangle cut to the bitmap's bounds; scale 1, orientation up. Null for a size of
  /// 0 or below, no bitmap, or nothing left.
  static platform::ImagePtr clipWithImageRect(const platform::ImagePtr& image, std::int64_t x,
                                              std::int64_t y, std::int64_t w, std::int64_t h);
};

}  // namespace vistrel::image
