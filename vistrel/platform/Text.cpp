#include "vistrel/platform/Text.h"

#include <charconv>

namespace vistrel::platform {

std::optional<std::int64_t> parseDecimal(std::string_view t) {
  if (!t.empty() && t.front() == '+') {
    t.remove_prefix(1);
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) return std::nullopt;
  }
  if (t.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> splitText(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

bool validUtf8(std::string_view b) {
  std::size_t i = 0;
  while (i < b.size()) {
    const auto c = static_cast<unsigned char>(b[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = 0;
    std::uint32_t cp = 0, lowest = 0;
    if ((c & 0xE0) == 0xC0) {
      n = 2, cp = c & 0x1Fu, lowest = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      n = 3, cp = c & 0x0Fu, lowest = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      n = 4, cp = c & 0x07u, lowest = 0x10000;
    } else {
      return false;
    }
    if (i + n > b.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      const auto d = static_cast<unsigned char>(b[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3Fu);
    }
    if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

}  // namespace vistrel::platform
