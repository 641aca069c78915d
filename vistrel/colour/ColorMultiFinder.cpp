#include "vistrel/colour/ColorMultiFinder.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "vistrel/colour/ColorUtils.h"
#include "vistrel/colour/internal/PixelScan.h"

namespace vistrel::colour {
namespace {

using internal::ColorTest;
using internal::Hit;
using internal::PixelView;
using internal::Rect;

// Columns x..min(x + w, W) and rows y..min(y + h, H), negative starts skipped.
Rect searchRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, int width,
                int height) {
  const auto span = [](std::int64_t start, std::int64_t size, int limit) {
    const std::int64_t from = std::clamp<std::int64_t>(start, 0, limit);
    std::int64_t to = 0;
    if (__builtin_add_overflow(start, size, &to)) to = limit;
    return std::pair<int, int>{static_cast<int>(from),
                               static_cast<int>(std::clamp<std::int64_t>(to, from, limit))};
  };
  const auto [x0, x1] = span(x, w, width);
  const auto [y0, y1] = span(y, h, height);
  return {x0, y0, x1, y1};
}

bool reached(const std::vector<Hit>& hits, std::int64_t limit) {
  return static_cast<std::int64_t>(hits.size()) >= limit;
}

// An offset point of a pattern with its colour test.
struct PatternPoint {
  std::int64_t dx;
  std::int64_t dy;
  ColorTest test;
};

bool patternHolds(const PixelView& image, const std::vector<PatternPoint>& pattern, int x, int y) {
  for (const auto& p : pattern) {
    std::int64_t px = 0, py = 0;
    if (__builtin_add_overflow(std::int64_t{x}, p.dx, &px) ||
        __builtin_add_overflow(std::int64_t{y}, p.dy, &py) || !image.inside(px, py) ||
        !p.test.matches(image.at(static_cast<int>(px), static_cast<int>(py)))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string ColorMultiFinder::findColor(image::AutoImage& bitmap, std::string_view firstColor,
                                        float threshold, std::int64_t x, std::int64_t y,
                                        std::int64_t w, std::int64_t h, std::int64_t limit,
                                        std::int64_t orz) const {
  const auto pairs = ColorUtils::parsePointsStringForFindColor(firstColor);
  if (!pairs) return {};
  if (w <= 0) w = image::imageWidth(bitmap.uiimage());
  if (h <= 0) h = image::imageHeight(bitmap.uiimage());
  const auto array = bitmap.toArray2();
  if (!array || !internal::validOrder(orz)) return {};
  const auto allowance = ColorUtils::allowance(threshold);
  if (!allowance) return {};

  const PixelView view = PixelView::of(*array);
  const Rect rect = searchRect(x, y, w, h, view.width, view.height);
  if (rect.empty()) return {};
  const std::vector<ColorTest> tests = internal::colorTests(*pairs, *allowance);
  std::vector<Hit> hits;

  if (limit <= 0) {
    // The limit test follows the very first comparison.
    const auto [fx, fy] = internal::firstPixel(orz, rect);
    if (tests.front().matches(view.at(fx, fy))) hits.push_back({fx, fy, 0});
    return internal::encodeHits(hits);
  }

  const internal::Prefilter filter(tests);
  internal::scanCandidates(view, rect, orz, filter, [&](int px, int py) {
    const std::uint32_t pixel = view.at(px, py);
    for (std::size_t k = 0; k < tests.size(); ++k) {
      if (!tests[k].matches(pixel)) continue;
      hits.push_back({px, py, static_cast<std::int64_t>(k)});
      if (reached(hits, limit)) return true;
    }
    return false;
  });
  return internal::encodeHits(hits);
}

std::string ColorMultiFinder::findMultiColor(image::AutoImage& bitmap, std::string_view firstColor,
                                             std::string_view points, float threshold,
                                             std::int64_t x, std::int64_t y, std::int64_t w,
                                             std::int64_t h, std::int64_t limit,
                                             std::int64_t orz) const {
  const auto pairs = ColorUtils::parsePointsStringForFindColor(firstColor);
  if (!pairs) return {};
  const auto entries = ColorUtils::parsePointsString(points);
  if (!entries) return {};
  if (w <= 0) w = image::imageWidth(bitmap.uiimage());
  if (h <= 0) h = image::imageHeight(bitmap.uiimage());
  const auto array = bitmap.toArray2();
  if (!array || !internal::validOrder(orz)) return {};
  const auto allowance = ColorUtils::allowance(threshold);
  if (!allowance) return {};

  const PixelView view = PixelView::of(*array);
  const Rect rect = searchRect(x, y, w, h, view.width, view.height);
  if (rect.empty()) return {};
  const std::vector<ColorTest> first{
      ColorTest(pairs->front().color, pairs->front().offset, *allowance)};
  std::vector<PatternPoint> pattern;
  pattern.reserve(entries->size());
  for (const auto& e : *entries) {
    pattern.push_back({e.x, e.y, ColorTest(e.color, e.offset, *allowance)});
  }
  std::vector<Hit> hits;

  if (limit <= 0) {
    const auto [fx, fy] = internal::firstPixel(orz, rect);
    if (first.front().matches(view.at(fx, fy)) && patternHolds(view, pattern, fx, fy)) {
      hits.push_back({fx, fy, 0});
    }
    return internal::encodeHits(hits);
  }

  const internal::Prefilter filter(first);
  internal::scanCandidates(view, rect, orz, filter, [&](int px, int py) {
    if (!patternHolds(view, pattern, px, py)) return false;
    hits.push_back({px, py, 0});
    return reached(hits, limit);
  });
  return internal::encodeHits(hits);
}

}  // namespace vistrel::colour
