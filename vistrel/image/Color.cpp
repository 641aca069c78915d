#include "vistrel/image/Color.h"

#include <cmath>
#include <cstdio>

namespace vistrel::image {
namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Color Color::hexStr(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  std::uint32_t n = 0;
  for (const char c : text) {
    const int digit = hexDigit(c);
    if (digit < 0) break;
    n = (n << 4) | static_cast<std::uint32_t>(digit);  // wraps like a 32-bit scanner
  }
  return Color{((n >> 16) & 0xFF) / 255.0, ((n >> 8) & 0xFF) / 255.0, (n & 0xFF) / 255.0, 1.0};
}

std::optional<std::int64_t> Color::rgb() const {
  const auto channel = [](double v) -> std::optional<std::int64_t> {
    if (!(v >= 0.0 && v <= 1.0)) return std::nullopt;
    // k / 255 must come back as exactly k: round away the last-bit error before truncating.
    const double scaled = v * 255.0;
    const double nearest = std::round(scaled);
    return static_cast<std::int64_t>(std::abs(scaled - nearest) < 1e-9 ? nearest
                                                                       : std::trunc(scaled));
  };
  const auto r = channel(red), g = channel(green), b = channel(blue), a = channel(alpha);
  if (!r || !g || !b || !a) return std::nullopt;
  return (*a << 24) + (*b << 16) + (*g << 8) + *r;
}

std::string stringColor(std::int64_t packed) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(packed & 0xFF),
                static_cast<unsigned>((packed >> 8) & 0xFF),
                static_cast<unsigned>((packed >> 16) & 0xFF));
  return text;
}

}  // namespace vistrel::image
