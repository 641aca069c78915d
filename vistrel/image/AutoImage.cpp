#include "vistrel/image/AutoImage.h"

#include <cmath>
#include <limits>
#include <new>

namespace vistrel::image {

std::int64_t imageWidth(const platform::ImagePtr& image) {
  return image ? static_cast<std::int64_t>(std::trunc(image->width())) : 0;
}

std::int64_t imageHeight(const platform::ImagePtr& image) {
  return image ? static_cast<std::int64_t>(std::trunc(image->height())) : 0;
}

PixelArrayPtr toArray2(const platform::ImagePtr& image) {
  const std::int64_t width = imageWidth(image);
  const std::int64_t height = imageHeight(image);
  if (width <= 0 || height <= 0 || width > std::numeric_limits<int>::max() ||
      height > std::numeric_limits<int>::max()) {
    return nullptr;
  }
  try {
    auto array = std::make_shared<PixelArray>(static_cast<int>(width), static_cast<int>(height));
    if (!image->readPremultiplied(array->width(), array->height(),
                                  reinterpret_cast<std::uint8_t*>(array->data()))) {
      return nullptr;
    }
    return array;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

PixelArrayPtr AutoImage::toArray2() {
  const std::lock_guard lock(mutex_);
  if (!array_) array_ = image::toArray2(uiimage_);
  return array_;
}

void AutoImage::dropArray() {
  PixelArrayPtr dropped;
  {
    const std::lock_guard lock(mutex_);
    dropped.swap(array_);
  }
  // `dropped` frees the array here, outside the lock, unless a search still holds it.
}

bool AutoImage::needClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const {
  return x != 0 || y != 0 || (w > 0 && (!uiimage_ || w != imageWidth(uiimage_))) ||
         (h > 0 && (!uiimage_ || h != imageHeight(uiimage_)));
}

Region AutoImage::checkXYWHAutoImage(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                     const AutoImage& image) {
  return checkRegion(x, y, w, h, imageWidth(image.uiimage_), imageHeight(image.uiimage_));
}

}  // namespace vistrel::image
