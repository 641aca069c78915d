#include "vistrel/colour/internal/ChosenPixels.h"

#include <algorithm>

#include "vistrel/image/ImageUtils.h"

namespace vistrel::colour::internal {

std::optional<ChosenPixels> choosePixels(image::AutoImage& bitmap, std::int64_t x, std::int64_t y,
                                         std::int64_t w, std::int64_t h) {
  const platform::ImagePtr& img = bitmap.uiimage();
  if (!img) return std::nullopt;
  if (!bitmap.needClip(x, y, w, h)) {
    auto array = bitmap.toArray2();
    if (!array) return std::nullopt;
    return ChosenPixels{array, PixelView::of(*array)};
  }

  const std::int64_t width = image::imageWidth(img);
  const std::int64_t height = image::imageHeight(img);
  const bool upright = img->orientation() == platform::Orientation::up && img->bitmap() &&
                       img->bitmap()->width == width && img->bitmap()->height == height;
  if (!upright) {
    const auto copy = image::ImageUtils::clipWithImageRect(img, x, y, w, h);
    auto array = image::toArray2(copy);
    if (!array) return std::nullopt;
    return ChosenPixels{array, PixelView::of(*array)};
  }

  w = std::min(w, width);
  h = std::min(h, height);
  if (w <= 0 || h <= 0) return std::nullopt;
  const std::int64_t left = std::max<std::int64_t>(x, 0);
  const std::int64_t top = std::max<std::int64_t>(y, 0);
  const std::int64_t right = std::min(width, left + w);
  const std::int64_t bottom = std::min(height, top + h);
  if (left >= right || top >= bottom) return std::nullopt;
  auto array = bitmap.toArray2();
  if (!array) return std::nullopt;
  const PixelView view =
      PixelView::of(*array).sub(static_cast<int>(left), static_cast<int>(top),
                                static_cast<int>(right - left), static_cast<int>(bottom - top));
  return ChosenPixels{array, view};
}

}  // namespace vistrel::colour::internal
