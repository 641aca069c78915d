#include "vistrel/colour/ColorFindNot.h"

#include <vector>

#include "vistrel/colour/ColorUtils.h"
#include "vistrel/colour/internal/ChosenPixels.h"
#include "vistrel/colour/internal/PixelScan.h"

namespace vistrel::colour {

std::string ColorFindNot::findNotColor(image::AutoImage& bitmap, std::string_view firstColor,
                                       float threshold, std::int64_t x, std::int64_t y,
                                       std::int64_t w, std::int64_t h, std::int64_t limit,
                                       std::int64_t orz, bool same, bool allNotEquals) const {
  const auto pairs = ColorUtils::parsePointsStringForFindColor(firstColor);
  if (!pairs) return {};
  const auto chosen = internal::choosePixels(bitmap, x, y, w, h);
  if (!chosen || !internal::validOrder(orz)) return {};
  const auto allowance = ColorUtils::allowance(threshold);
  if (!allowance) return {};

  const internal::PixelView& view = chosen->view;
  const std::vector<internal::ColorTest> tests = internal::colorTests(*pairs, *allowance);
  std::vector<internal::Hit> hits;
  const auto reached = [&] { return static_cast<std::int64_t>(hits.size()) >= limit; };

  internal::forEachInOrder(orz, {0, 0, view.width, view.height}, [&](int px, int py) {
    const std::uint32_t pixel = view.at(px, py);
    const internal::Hit hit{x + px, y + py, 0};
    if (allNotEquals) {
      bool matchesAny = false;
      for (const auto& test : tests) {
        if (test.matches(pixel)) {
          matchesAny = true;
          break;
        }
      }
      if (!matchesAny) hits.push_back(hit);
      return reached();
    }
    for (const auto& test : tests) {
      if (test.matches(pixel) == same) hits.push_back(hit);
      if (reached()) return true;
    }
    return false;
  });
  return internal::encodeHits(hits);
}

}  // namespace vistrel::colour
