#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vistrel::image {

/// A colour with channels as reals from 0 to 1.
struct Color {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  /// Reads a hexadecimal colour text ("#00ff00", "ff", "0"): white space trimmed, one leading "#"
  /// skipped, as many hexadecimal digits as there are (none gives black), alpha 1.
  static Color hexStr(std::string_view text);

  /// Packs as alpha x 2^24 + blue x 2^16 + green x 2^8 + red, each channel x 255 truncated;
  /// absent when a channel is not a real from 0 to 1.
  std::optional<std::int64_t> rgb() const;
};

/// "#" and two upper-case hexadecimal digits each for red (bits 0-7), green and blue; the shifts
/// are arithmetic, so -100 gives "#9CFFFF".
std::string stringColor(std::int64_t packed);

}  // namespace vistrel::image
