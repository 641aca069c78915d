#include "vistrel/image/ImageUtils.h"

#include <algorithm>

#include "vistrel/image/AutoImage.h"

namespace vistrel::image {

platform::ImagePtr ImageUtils::clipWithImageRect(const platform::ImagePtr& image, std::int64_t x,
                                                 std::int64_t y, std::int64_t w, std::int64_t h) {
  if (!image) return nullptr;
  w = std::min(w, imageWidth(image));
  h = std::min(h, imageHeight(image));
  if (w <= 0 || h <= 0 || !image->bitmap()) return nullptr;
  auto cropped = image->crop(std::max<std::int64_t>(x, 0), std::max<std::int64_t>(y, 0), w, h);
  if (!cropped) return nullptr;
  return platform::PlatformImage::over(std::move(cropped));
}

}  // namespace vistrel::image
