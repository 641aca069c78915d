#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vistrel/platform/Console.h"
#include "vistrel/platform/PlatformImage.h"

namespace vistrel::test {

/// Opaque RGB as a packed colour (red in the low byte, alpha 255).
constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | (b << 16) | (g << 8) | r;
}

/// An image whose pixel (x, y) has the straight RGBA value colour(x, y) (packed, red low).
inline platform::ImagePtr makeImage(int width, int height,
                                    const std::function<std::uint32_t(int, int)>& colour,
                                    double scale = 1.0,
                                    platform::Orientation o = platform::Orientation::up) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) *
                                 static_cast<std::size_t>(height) * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = colour(x, y);
      const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                              static_cast<std::size_t>(x)) *
                             4;
      for (std::size_t c = 0; c < 4; ++c) rgba[at + c] = static_cast<std::uint8_t>(v >> (8 * c));
    }
  }
  return platform::PlatformImage::fromRgba(width, height, std::move(rgba), scale, o);
}

/// A uniform image.
inline platform::ImagePtr solidImage(int width, int height, std::uint32_t colour) {
  return makeImage(width, height, [colour](int, int) { return colour; });
}

/// Collects the library's notice lines while it lives.
class CapturedOutput {
 public:
  CapturedOutput() {
    platform::setOutSink([this](std::string_view line) { lines.emplace_back(line); });
  }
  ~CapturedOutput() { platform::setOutSink({}); }
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  std::vector<std::string> lines;
};

}  // namespace vistrel::test
