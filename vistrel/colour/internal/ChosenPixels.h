#pragma once

#include <cstdint>
#include <optional>

#include "vistrel/colour/internal/PixelScan.h"
#include "vistrel/image/AutoImage.h"

namespace vistrel::colour::internal {

/// The pixels a rectangle search works on, and the array that keeps them alive.
struct ChosenPixels {
  image::PixelArrayPtr array;
  PixelView view;
};

/// The whole image's pixel array when the rectangle is the whole image; otherwise the pixels of
/// a copy of the image cut to the rectangle (read in place when the image is upright at scale 1,
/// where the copy's pixels are exactly those of the rectangle). Absent when there is no image,
/// the cut leaves nothing, or there is no pixel array.
std::optional<ChosenPixels> choosePixels(image::AutoImage& bitmap, std::int64_t x, std::int64_t y,
                                         std::int64_t w, std::int64_t h);

}  // namespace vistrel::colour::internal
