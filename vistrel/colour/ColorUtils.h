#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vistrel/platform/Text.h"

namespace vistrel::colour {

/// A colour and its per-channel extra allowance, both packed (red in bits 0-7, green 8-15,
/// blue 16-23, alpha 24-31).
struct ColorPair {
  std::int64_t color = 0;
  std::int64_t offset = 0;

  bool operator==(const ColorPair&) const = default;
};

/// One point of a point list: a position (absolute, or an offset from a candidate pixel), its
/// colour and its offset.
struct PointEntry {
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int64_t color = 0;
  std::int64_t offset = 0;

  bool operator==(const PointEntry&) const = default;
};

/// Red, green and blue of a packed colour.
using ChannelTriple = std::array<std::int64_t, 3>;

/// The script-side colour grammar and the similarity arithmetic. Stateless.
class ColorUtils {
 public:
  /// "FF0000", "#FF0000", "0xff0000" (trimmed, case ignored) as a packed colour with alpha 255;
  /// the empty text, "0x000000" and "#000000" give 0, as does any text shorter than six digits.
  static std::int64_t parseColor(std::string_view s);
  /// "COLOUR-OFFSET": always two packed colours; a missing offset is 0.
  static ColorPair splitColorParamString(std::string_view color);
  /// "COLOUR-OFFSET,COLOUR-OFFSET,...": one pair per part (an empty part is 0, 0); absent for the
  /// empty text.
  static std::optional<std::vector<ColorPair>> parsePointsStringForFindColor(
      std::string_view points);
  /// "X|Y|COLOUR-OFFSET"; absent unless there are exactly three parts and X and Y are decimal
  /// integers.
  static std::optional<PointEntry> splitColorForPointString(std::string_view cs);
  /// Point texts separated by ","; malformed parts are left out; absent for the empty text.
  static std::optional<std::vector<PointEntry>> parsePointsString(std::string_view points);

  /// The threshold's allowance 255 - trunc(threshold x 255), the product in single precision.
  /// Absent when the product is not finite or does not fit a 64-bit integer. The answer is clamped
  /// to +-1024, which decides every channel comparison the same way.
  static std::optional<std::int64_t> allowance(float threshold);

  /// Channel a (reference) against b (tested): |a - b| <= offset + allowance(threshold).
  /// False when no allowance can be formed from the threshold.
  static bool colorCompare(std::int64_t a, std::int64_t b, std::int64_t offset, float threshold);
  /// Every channel of imgColor (reference) against cmpColor (tested), red then green then blue.
  static bool cmpColor(const ChannelTriple& cmpColor, const ChannelTriple& imgColor,
                       const ChannelTriple& offset, float threshold);

  static ChannelTriple channels(std::int64_t packed) {
    return {packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF};
  }
};

using platform::splitText;

}  // namespace vistrel::colour
