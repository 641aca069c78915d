#include "vistrel/image/ImageUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "vistrel/image/AutoImage.h"

namespace vistrel::image {
namespace {

platform::ImagePtr turned(const platform::ImagePtr& image, platform::Orientation orientation) {
  if (!image || !image->bitmap()) return nullptr;
  return ImageUtils::redraw(
      platform::PlatformImage::over(image->bitmap(), image->scale(), orientation));
}

}  // namespace

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

platform::ImagePtr ImageUtils::getImageWithScaleSize(const platform::ImagePtr& image,
                                                     double scale) {
  if (!image || !(scale > 0)) return nullptr;
  const double width = std::trunc(image->width() * scale);
  const double height = std::trunc(image->height() * scale);
  if (!(width >= 1 && height >= 1 && width <= std::numeric_limits<int>::max() &&
        height <= std::numeric_limits<int>::max())) {
    return nullptr;
  }
  const auto drawn = image->redraw(static_cast<int>(width), static_cast<int>(height));
  if (!drawn) return nullptr;
  const auto jpeg = drawn->jpegData(1.0);
  if (!jpeg) return nullptr;
  return platform::PlatformImage::decode(*jpeg);
}

platform::ImagePtr ImageUtils::redraw(const platform::ImagePtr& image) {
  return getImageWithScaleSize(image, 1.0);
}

platform::ImagePtr ImageUtils::toUpImage(const platform::ImagePtr& image) {
  if (!image || !image->bitmap()) return nullptr;
  if (image->orientation() == platform::Orientation::up) return image;
  return platform::PlatformImage::over(image->bitmap(), image->scale(), platform::Orientation::up);
}

platform::ImagePtr ImageUtils::toLeftImage(const platform::ImagePtr& image) {
  return turned(image, platform::Orientation::left);
}

platform::ImagePtr ImageUtils::toRightImage(const platform::ImagePtr& image) {
  return turned(image, platform::Orientation::right);
}

platform::ImagePtr ImageUtils::rotated(const platform::ImagePtr& image, const std::string& degree) {
  if (degree == "0") return toUpImage(image);
  if (degree == "-90") return toLeftImage(image);
  if (degree == "90") return toRightImage(image);
  return nullptr;
}

platform::ImagePtr ImageUtils::twoLevels(const platform::ImagePtr& image, std::int64_t t) {
  if (!image || !image->bitmap()) return nullptr;
  const platform::Bitmap& bitmap = *image->bitmap();
  std::vector<std::uint8_t> gray(static_cast<std::size_t>(bitmap.width) *
                                 static_cast<std::size_t>(bitmap.height));
  const std::uint8_t* p = bitmap.rgba.data();
  for (std::size_t i = 0; i < gray.size(); ++i, p += 4) {
    const std::int64_t level = (std::int64_t{p[0]} + p[1] + p[2]) / 3;
    gray[i] = level >= t ? 255 : 0;
  }
  return platform::PlatformImage::fromGray(bitmap.width, bitmap.height, gray);
}

std::optional<platform::Bytes> ImageUtils::jpegData(const platform::ImagePtr& image) {
  return jpegData2(image, 1.0);
}

std::optional<platform::Bytes> ImageUtils::jpegData2(const platform::ImagePtr& image, double q) {
  if (!image) return std::nullopt;
  return image->jpegData(q);
}

}  // namespace vistrel::image
