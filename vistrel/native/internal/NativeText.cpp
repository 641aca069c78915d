#include "vistrel/native/internal/NativeText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

// GCC 12 warns inside <regex> under sanitizers; the warning is about the library, not this code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop

namespace vistrel::native::internal {

std::vector<std::string> s_split(const std::string& text, const std::string& delimiter) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  const std::regex pattern(delimiter, std::regex::ECMAScript);
  std::sregex_token_iterator it(text.begin(), text.end(), pattern, -1), end;
  for (; it != end; ++it) parts.push_back(*it);
  return parts;
}

std::string replaceStr(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  const auto at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

int parseColor(const std::string& text) {
  if (text.empty()) return 0;
  std::string rest = replaceStr(replaceStr(replaceStr(text, "#", ""), "0x", ""), "0X", "");
  return std::stoi(rest, nullptr, 16);
}

std::vector<int> splitColorParamString(const std::string& text) {
  if (text.empty()) return {0, 0};
  const auto parts = s_split(text, "-");
  const int colour = parts.empty() ? 0 : parseColor(parts[0]);
  const int offset = parts.size() >= 2 ? parseColor(parts[1]) : 0;
  return {colour, offset};
}

std::vector<int> parsePointsString(const std::string& text) {
  std::vector<int> points;
  if (text.empty()) return points;
  for (const auto& part : s_split(text, ",")) {
    if (part.empty()) continue;
    const auto fields = s_split(part, "\\|");
    if (fields.size() != 3) continue;
    const auto pair = splitColorParamString(fields[2]);
    points.insert(points.end(),
                  {std::atoi(fields[0].c_str()), std::atoi(fields[1].c_str()), pair[0], pair[1]});
  }
  return points;
}

ChannelRange acceptedPixels(int colour, int offset, float g) {
  ChannelRange range;
  if (std::isnan(g)) return range;
  bool found = false;
  for (int p = 0; p < 256; ++p) {
    // Bounds far outside 0..255 decide the same way as any larger ones.
    const float lowF = std::clamp(static_cast<float>(p - offset) - g, -1e6f, 1e6f);
    const float highF = std::clamp(g + static_cast<float>(p + offset), -1e6f, 1e6f);
    const auto low = std::max(0L, static_cast<long>(std::trunc(lowF)));
    const auto high = std::min(255L, static_cast<long>(std::trunc(highF)));
    if (low <= colour && colour <= high) {
      if (!found) range.low = p;
      found = true;
      range.high = p;
    }
  }
  return range;
}

NativeColorTest colourTest(int colour, int offset, float threshold) {
  const float g = 255.0f - threshold * 255.0f;
  NativeColorTest test;
  // Memory order: blue (bits 0-7), green, red (bits 16-23).
  for (int c = 0; c < 3; ++c) {
    test.range[c] = acceptedPixels((colour >> (8 * c)) & 0xFF, (offset >> (8 * c)) & 0xFF, g);
  }
  return test;
}

}  // namespace vistrel::native::internal
