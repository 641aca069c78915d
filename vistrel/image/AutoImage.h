#pragma once

#include <cstdint>
#include <mutex>

#include "vistrel/image/PixelArray.h"
#include "vistrel/image/Region.h"
#include "vistrel/platform/PlatformImage.h"

namespace vistrel::image {

/// A stored pixel image: the platform image and its lazily built pixel array.
class AutoImage {
 public:
  explicit AutoImage(platform::ImagePtr image) : uiimage_(std::move(image)) {}

  /// The stored image (may be null).
  const platform::ImagePtr& uiimage() const { return uiimage_; }

  /// The pixel array, built on first use and kept; null when the image has none. Safe under
  /// concurrent first use: every caller gets the one complete array.
  PixelArrayPtr toArray2();

  /// Drops the kept array (recycling); a search holding it keeps its copy of the pointer.
  void dropArray();

  /// Whether the region differs from the whole image (a size of 0 or below counts as whole).
  bool needClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const;

  /// The region check against the image's truncated size (0 x 0 without image).
  static Region checkXYWHAutoImage(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                   const AutoImage& image);

 private:
  const platform::ImagePtr uiimage_;
  std::mutex mutex_;
  PixelArrayPtr array_;
};

/// Width and height of a platform image truncated toward zero (0 for a null image).
std::int64_t imageWidth(const platform::ImagePtr& image);
std::int64_t imageHeight(const platform::ImagePtr& image);

/// The image's pixel array: its bitmap stretched over its truncated width and height,
/// premultiplied, orientation not applied. Null for a null or empty image.
PixelArrayPtr toArray2(const platform::ImagePtr& image);

}  // namespace vistrel::image
