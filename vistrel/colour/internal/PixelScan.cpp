#include "vistrel/colour/internal/PixelScan.h"

#include <charconv>

namespace vistrel::colour::internal {
namespace {

void appendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end);
}

}  // namespace

std::string encodeHits(const std::vector<Hit>& hits) {
  if (hits.empty()) return {};
  std::string out;
  out.reserve(hits.size() * 28 + 2);
  out += '[';
  for (std::size_t i = 0; i < hits.size(); ++i) {
    out += i ? ",{\"x\":" : "{\"x\":";
    appendNumber(out, hits[i].x);
    out += ",\"y\":";
    appendNumber(out, hits[i].y);
    out += ",\"index\":";
    appendNumber(out, hits[i].index);
    out += '}';
  }
  out += ']';
  return out;
}

std::vector<ColorTest> colorTests(const std::vector<ColorPair>& pairs, std::int64_t allowance) {
  std::vector<ColorTest> tests;
  tests.reserve(pairs.size());
  for (const auto& p : pairs) tests.emplace_back(p.color, p.offset, allowance);
  return tests;
}

}  // namespace vistrel::colour::internal
