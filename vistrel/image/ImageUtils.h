#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::image {

/// Helpers on platform images. Absent in gives absent out.
class ImageUtils {
 public:
  /// A copy of the image cut to (max(x, 0), max(y, 0), w, h), w and h first lowered to the image's
  /// size, the rectangle cut to the bitmap's bounds; scale 1, orientation up. Null for a size of
  /// 0 or below, no bitmap, or nothing left.
  static platform::ImagePtr clipWithImageRect(const platform::ImagePtr& image, std::int64_t x,
                                              std::int64_t y, std::int64_t w, std::int64_t h);

  /// Draws the image, honouring its orientation, at its displayed size x `scale` and scale 1,
  /// then passes it through JPEG at quality 1.0: upright, orientation up, no alpha.
  static platform::ImagePtr getImageWithScaleSize(const platform::ImagePtr& image, double scale);
  /// The redraw: `getImageWithScaleSize(image, 1)`.
  static platform::ImagePtr redraw(const platform::ImagePtr& image);

  /// The same bitmap and scale with orientation up (the pixels are not turned). An image without
  /// bitmap gives null.
  static platform::ImagePtr toUpImage(const platform::ImagePtr& image);
  /// Turned a quarter counter-clockwise (left) or clockwise (right) and redrawn.
  static platform::ImagePtr toLeftImage(const platform::ImagePtr& image);
  static platform::ImagePtr toRightImage(const platform::ImagePtr& image);

  /// The turn of a degree text: "0" drops the orientation mark, "90" turns clockwise and "-90"
  /// counter-clockwise (redrawn); null for any other text. An earlier mark is not counted.
  static platform::ImagePtr rotated(const platform::ImagePtr& image, const std::string& degree);
  /// A gray image: 255 where (red + green + blue) / 3 of the straight bitmap is at least t, else 0.
  static platform::ImagePtr twoLevels(const platform::ImagePtr& image, std::int64_t t);

  /// JPEG at quality 1.0, or at quality `q` (0 to 1).
  static std::optional<platform::Bytes> jpegData(const platform::ImagePtr& image);
  static std::optional<platform::Bytes> jpegData2(const platform::ImagePtr& image, double q);
};

}  // namespace vistrel::image
