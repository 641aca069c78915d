#include "vistrel/colour/ColorImageFinder.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "vistrel/colour/internal/ChosenPixels.h"
#include "vistrel/colour/internal/PixelScan.h"

namespace vistrel::colour {
namespace {

using internal::ColorTest;

struct SearchSettings {
  std::int64_t firstOffset = 0;
  float firstThreshold = 0.9f;
  float otherThreshold = 0.9f;
  std::optional<float> successShare;  // absent: no mismatching entry tolerated
};

struct Entry {
  std::int64_t dx;
  std::int64_t dy;
  ColorTest test;
};

// The entries of a pattern, ordered to reject a candidate early. Whether a candidate passes does
// not depend on the order: it fails when any entry lies outside the pixels or when the mismatches
// in all reach the tolerance. So the bounding box is checked first, at once, and the entries least
// like the first colour are tested first: on an area of the first colour they fail at once.
class Pattern {
 public:
  Pattern(const std::vector<PointEntry>& points, std::uint32_t firstColor, std::int64_t allowance) {
    entries_.reserve(points.size());
    for (const auto& p : points) {
      entries_.push_back({p.x, p.y, ColorTest(p.color, p.offset, allowance)});
      minX_ = std::min(minX_, p.x);
      maxX_ = std::max(maxX_, p.x);
      minY_ = std::min(minY_, p.y);
      maxY_ = std::max(maxY_, p.y);
    }
    const auto distance = [firstColor](const Entry& e) {
      int most = 0;
      for (int c = 0; c < 24; c += 8) {
        const int a = static_cast<int>((e.test.color() >> c) & 0xFF);
        const int b = static_cast<int>((firstColor >> c) & 0xFF);
        most = std::max(most, a > b ? a - b : b - a);
      }
      return most;
    };
    std::stable_sort(entries_.begin(), entries_.end(),
                     [&](const Entry& a, const Entry& b) { return distance(a) > distance(b); });
  }

  bool passes(const internal::PixelView& view, int x, int y, std::int64_t tolerance) const {
    if (!entries_.empty() &&
        (x + minX_ < 0 || y + minY_ < 0 || x + maxX_ >= view.width || y + maxY_ >= view.height)) {
      return false;
    }
    std::int64_t mismatches = 0;
    for (const auto& e : entries_) {
      if (e.test.matches(view.at(static_cast<int>(x + e.dx), static_cast<int>(y + e.dy)))) {
        continue;
      }
      if (tolerance <= 0 || ++mismatches >= tolerance) return false;
    }
    return true;
  }

 private:
  std::vector<Entry> entries_;
  // Template offsets are bounded by the template's size, so these sums cannot overflow.
  std::int64_t minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
};

std::string search(image::AutoImage& bitmap, image::AutoImage& smallImg, std::int64_t x,
                   std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t limit,
                   std::optional<std::int64_t> otherOffset, const SearchSettings& settings) {
  const auto chosen = internal::choosePixels(bitmap, x, y, w, h);
  if (!chosen) return {};
  const auto smallPix = smallImg.toArray2();
  if (!smallPix) return {};
  const ColorImageSubPoint pattern = ColorImageFinder::extraSubImageInfo(*smallPix, otherOffset);
  if (!pattern.firstColor) return {};
  const auto firstAllowance = ColorUtils::allowance(settings.firstThreshold);
  const auto otherAllowance = ColorUtils::allowance(settings.otherThreshold);
  if (!firstAllowance || !otherAllowance) return {};

  const std::int64_t tolerance =
      settings.successShare
          ? ColorImageFinder::mismatchTolerance(pattern.cmpColorNum, *settings.successShare)
          : 0;
  const Pattern entries(*pattern.colorPointArray, *pattern.firstColor, *otherAllowance);
  const std::vector<ColorTest> first{
      ColorTest(*pattern.firstColor, settings.firstOffset, *firstAllowance)};
  const internal::PixelView& view = chosen->view;
  std::vector<internal::Hit> hits;
  const auto consider = [&](int px, int py) {
    if (entries.passes(view, px, py, tolerance)) {
      hits.push_back({x + px, y + py, 0});
    }
    return static_cast<std::int64_t>(hits.size()) >= limit;
  };

  if (limit <= 0) {
    // The limit test follows the very first pixel.
    if (first.front().matches(view.at(0, 0))) consider(0, 0);
    return internal::encodeHits(hits);
  }
  internal::scanCandidates(view, {0, 0, view.width, view.height}, 2, internal::Prefilter(first),
                           consider);
  return internal::encodeHits(hits);
}

}  // namespace

std::int64_t ColorImageFinder::mismatchTolerance(std::size_t n, float share) {
  const float count = static_cast<float>(n);
  const float product = count * share;
  const float difference = count - product;
  if (std::isnan(difference) || difference <= 0) return 0;
  if (difference >= 9.2e18f) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(difference);
}

ColorImageSubPoint ColorImageFinder::extraSubImageInfo(
    const image::PixelArray& smallPix, std::optional<std::int64_t> otherColorOffset) {
  ColorImageSubPoint info;
  const int width = smallPix.width(), height = smallPix.height();
  const std::uint32_t corners[] = {smallPix.at(0, 0), smallPix.at(width - 1, 0),
                                   smallPix.at(width - 1, height - 1), smallPix.at(0, height - 1)};
  if (corners[0] == corners[1] && corners[0] == corners[2] && corners[0] == corners[3]) {
    info.ignoreColor = corners[0];
  }
  const std::int64_t offset = otherColorOffset.value_or(0);
  std::vector<PointEntry> entries;
  std::int64_t fx = 0, fy = 0;
  if (!info.ignoreColor) {
    info.firstColor = smallPix.at(0, 0);
  }
  for (int c = 0; c < width; ++c) {
    for (int r = 0; r < height; ++r) {
      const std::uint32_t pixel = smallPix.at(c, r);
      if (info.ignoreColor) {
        if (pixel == *info.ignoreColor) continue;
        if (!info.firstColor) {
          info.firstColor = pixel;
          fx = c;
          fy = r;
          continue;
        }
      }
      entries.push_back({c - fx, r - fy, static_cast<std::int64_t>(pixel & 0x00FFFFFFu), offset});
    }
  }
  if (info.firstColor) info.firstColorOffset = 0;
  info.cmpColorNum = entries.size();
  info.colorPointArray = std::move(entries);
  return info;
}

std::string ColorImageFinder::findImageByColor(image::AutoImage& bitmap, image::AutoImage& smallImg,
                                               float threshold, std::int64_t x, std::int64_t y,
                                               std::int64_t w, std::int64_t h,
                                               std::int64_t limit) const {
  return search(bitmap, smallImg, x, y, w, h, limit, std::nullopt,
                {0, threshold, threshold, std::nullopt});
}

std::string ColorImageFinder::findImageByColorEx(
    image::AutoImage& bitmap, image::AutoImage& smallImg, std::int64_t x, std::int64_t y,
    std::int64_t w, std::int64_t h, std::int64_t limit, std::string_view firstColorOffset,
    float firstColorThreshold, std::string_view otherColorOffset, float otherColorThreshold,
    float cmpColorSucThreshold, std::int64_t, std::int64_t) const {
  return search(bitmap, smallImg, x, y, w, h, limit, ColorUtils::parseColor(otherColorOffset),
                {ColorUtils::parseColor(firstColorOffset), firstColorThreshold, otherColorThreshold,
                 cmpColorSucThreshold});
}

}  // namespace vistrel::colour
