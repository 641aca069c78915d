#include "vistrel/colour/ColorUtils.h"

#include "vistrel/platform/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vistrel::colour {
namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return s;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A two-character group read as hexadecimal: leading white space skipped, reading stops at the
// first character that is not a digit; no digit gives 0.
std::int64_t readGroup(std::string_view group) {
  std::size_t i = 0;
  while (i < group.size() && isSpace(group[i])) ++i;
  std::int64_t value = 0;
  for (; i < group.size(); ++i) {
    const int digit = hexDigit(group[i]);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::int64_t ColorUtils::parseColor(std::string_view s) {
  if (s.empty() || s == "0x000000" || s == "#000000") return 0;
  std::string text(trim(s));
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  if (text.size() < 6) return 0;
  std::string_view rest = text;
  if (rest.starts_with("0X")) rest.remove_prefix(2);
  if (rest.starts_with("#")) rest.remove_prefix(1);
  if (rest.size() < 6) return 0;
  const std::int64_t red = readGroup(rest.substr(0, 2));
  const std::int64_t green = readGroup(rest.substr(2, 2));
  const std::int64_t blue = readGroup(rest.substr(4, 2));
  return (std::int64_t{255} << 24) | (blue << 16) | (green << 8) | red;
}

ColorPair ColorUtils::splitColorParamString(std::string_view color) {
  if (color.empty()) return {};
  const auto parts = splitText(color, '-');
  return {parseColor(parts[0]), parts.size() > 1 ? parseColor(parts[1]) : 0};
}

std::optional<std::vector<ColorPair>> ColorUtils::parsePointsStringForFindColor(
    std::string_view points) {
  if (points.empty()) return std::nullopt;
  std::vector<ColorPair> pairs;
  for (const auto part : splitText(points, ',')) pairs.push_back(splitColorParamString(part));
  return pairs;
}

std::optional<PointEntry> ColorUtils::splitColorForPointString(std::string_view cs) {
  if (cs.empty()) return std::nullopt;
  const auto parts = splitText(cs, '|');
  if (parts.size() != 3) return std::nullopt;
  const auto x = platform::parseDecimal(parts[0]);
  const auto y = platform::parseDecimal(parts[1]);
  if (!x || !y) return std::nullopt;
  const ColorPair pair = splitColorParamString(parts[2]);
  return PointEntry{*x, *y, pair.color, pair.offset};
}

std::optional<std::vector<PointEntry>> ColorUtils::parsePointsString(std::string_view points) {
  if (points.empty()) return std::nullopt;
  std::vector<PointEntry> entries;
  for (const auto part : splitText(points, ',')) {
    if (auto entry = splitColorForPointString(part)) entries.push_back(*entry);
  }
  return entries;
}

std::optional<std::int64_t> ColorUtils::allowance(float threshold) {
  const float product = threshold * 255.0f;
  if (!std::isfinite(product)) return std::nullopt;
  const double truncated = std::trunc(double{product});
  if (truncated < -9223372036854775808.0 || truncated >= 9223372036854775808.0) {
    return std::nullopt;
  }
  return std::clamp<std::int64_t>(
      255 - static_cast<std::int64_t>(std::clamp(truncated, -2048.0, 2048.0)), -1024, 1024);
}

bool ColorUtils::colorCompare(std::int64_t a, std::int64_t b, std::int64_t offset,
                              float threshold) {
  const auto t = allowance(threshold);
  if (!t) return false;
  const std::int64_t low = a - offset - *t;
  const std::int64_t high = std::min<std::int64_t>(a + offset + *t, 255);
  return b >= std::max<std::int64_t>(low, 0) && b <= high;
}

bool ColorUtils::cmpColor(const ChannelTriple& cmpColor, const ChannelTriple& imgColor,
                          const ChannelTriple& offset, float threshold) {
  for (std::size_t c = 0; c < 3; ++c) {
    if (!colorCompare(imgColor[c], cmpColor[c], offset[c], threshold)) return false;
  }
  return true;
}

}  // namespace vistrel::colour
