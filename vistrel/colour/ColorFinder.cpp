#include "vistrel/colour/ColorFinder.h"

#include <nlohmann/json.hpp>
#include <string>

#include "vistrel/colour/internal/PixelScan.h"
#include "vistrel/platform/Console.h"

namespace vistrel::colour {
namespace {

std::optional<std::vector<std::string>> decodeGroups(std::string_view text) {
  try {
    const auto parsed = nlohmann::json::parse(text);
    if (!parsed.is_array()) {
      platform::logOut(std::string("cmpMultiColor: expected a JSON array of strings, found ") +
                       parsed.type_name());
      return std::nullopt;
    }
    std::vector<std::string> groups;
    for (const auto& group : parsed) {
      if (!group.is_string()) {
        platform::logOut(std::string("cmpMultiColor: expected a string in the array, found ") +
                         group.type_name());
        return std::nullopt;
      }
      groups.push_back(group.get<std::string>());
    }
    return groups;
  } catch (const nlohmann::json::exception& e) {
    platform::logOut(std::string("cmpMultiColor: ") + e.what());
    return std::nullopt;
  }
}

}  // namespace

std::int64_t ColorFinder::cmpMultiColor(image::AutoImage& bitmap, std::string_view points,
                                        float threshold, std::int64_t, std::int64_t, std::int64_t,
                                        std::int64_t) const {
  const auto array = bitmap.toArray2();
  if (!array) return -1;
  const auto groups = decodeGroups(points);
  if (!groups) return -1;
  for (std::size_t i = 0; i < groups->size(); ++i) {
    const std::string& group = (*groups)[i];
    if (group.empty()) return -1;
    std::vector<PointEntry> entries;
    for (const auto part : splitText(group, ',')) {
      if (auto entry = ColorUtils::splitColorForPointString(part)) entries.push_back(*entry);
    }
    if (entries.empty()) return -1;
    if (cmpOneLine(*array, entries, threshold)) return static_cast<std::int64_t>(i);
  }
  return -1;
}

bool ColorFinder::cmpOneLine(const image::PixelArray& pix, const std::vector<PointEntry>& point,
                             float threshold) {
  if (point.empty()) return true;
  const auto allowance = ColorUtils::allowance(threshold);
  if (!allowance) return false;
  for (const auto& p : point) {
    if (p.x < 0 || p.y < 0 || p.y >= pix.height() || p.x >= pix.width()) return false;
    const internal::ColorTest test(p.color, p.offset, *allowance);
    if (!test.matches(pix.at(static_cast<int>(p.x), static_cast<int>(p.y)))) return false;
  }
  return true;
}

}  // namespace vistrel::colour
