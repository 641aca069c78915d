#pragma once

#include <cstdint>

namespace vistrel::image {

/// x, y, w, h of a search or a clip. The answer 0, 0, 0, 0 of a region check stands for the
/// whole image.
struct Region {
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int64_t w = 0;
  std::int64_t h = 0;

  bool operator==(const Region&) const = default;
};

/// Fits a script's region to an image of width x height (the region check): a negative x or y
/// gives the whole image; a start beyond the image moves to 0; a size below 1 or beyond the image
/// becomes the image's size (both together); the size is cut at the image's edges; a region
/// covering the whole image answers 0, 0, 0, 0.
Region checkRegion(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                   std::int64_t width, std::int64_t height);

}  // namespace vistrel::image
