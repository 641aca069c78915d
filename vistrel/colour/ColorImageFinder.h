#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vistrel/colour/ColorUtils.h"
#include "vistrel/image/AutoImage.h"

namespace vistrel::colour {

/// The colour pattern of a template: a first colour and every other significant pixel as a colour
/// at an offset from it.
struct ColorImageSubPoint {
  std::optional<std::vector<PointEntry>> colorPointArray;
  std::optional<std::uint32_t> firstColor;  // the raw template pixel
  std::optional<std::uint32_t> firstColorOffset;
  std::optional<std::uint32_t> ignoreColor;  // the background, when the four corners agree
  std::size_t cmpColorNum = 0;
};

/// Finds a small image in a large one by sampling its colours.
class ColorImageFinder {
 public:
  /// Positions of the template's first colour where the whole pattern matches under `threshold`,
  /// row by row, until `limit` points. The compact JSON array of points (index 0), or "".
  std::string findImageByColor(image::AutoImage& bitmap, image::AutoImage& smallImg,
                               float threshold, std::int64_t x, std::int64_t y, std::int64_t w,
                               std::int64_t h, std::int64_t limit) const;

  /// As `findImageByColor`, with its own offset and threshold for the first colour and for the
  /// other colours, tolerating trunc(N - N x cmpColorSucThreshold) mismatching entries of N.
  std::string findImageByColorEx(image::AutoImage& bitmap, image::AutoImage& smallImg,
                                 std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                 std::int64_t limit, std::string_view firstColorOffset,
                                 float firstColorThreshold, std::string_view otherColorOffset,
                                 float otherColorThreshold, float cmpColorSucThreshold,
                                 std::int64_t startRangeX = 0, std::int64_t startRangeY = 0) const;

  /// Builds the pattern from a template's pixel array; `otherColorOffset` becomes every entry's
  /// offset (absent: 0).
  static ColorImageSubPoint extraSubImageInfo(const image::PixelArray& smallPix,
                                              std::optional<std::int64_t> otherColorOffset);

  /// The mismatch tolerance trunc(N - N x share), in single precision; 0 or below tolerates none.
  static std::int64_t mismatchTolerance(std::size_t n, float share);
};

}  // namespace vistrel::colour
