#include "vistrel/image/Region.h"

namespace vistrel::image {

Region checkRegion(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                   std::int64_t width, std::int64_t height) {
  if (x < 0 || y < 0) return {};
  Region r{x < width ? x : 0, y < height ? y : 0, w, h};
  if (w < 1 || h < 1 || w > width || h > height) {
    r.w = width;
    r.h = height;
  }
  if (r.x + r.w > width) r.w = width - r.x;
  if (r.y + r.h > height) r.h = height - r.y;
  if (r.x == 0 && r.y == 0 && r.w == width && r.h == height) return {};
  return r;
}

}  // namespace vistrel::image
