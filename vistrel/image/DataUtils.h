#pragma once

#include <chrono>
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::image {

/// Helpers on byte buffers.
class DataUtils {
 public:
  /// The bytes decoded as an image; null when they are no image.
  static platform::ImagePtr toUIImage(const platform::Bytes& bytes);
  /// Appends the text's UTF-8 bytes.
  static void appendString(platform::Bytes& bytes, std::string_view text);
  /// The MD5 digest (RFC 1321) as 32 lower-case hexadecimal digits.
  static std::string md5_22(const platform::Bytes& bytes);
  /// The bytes as UTF-8 text; absent when they are not valid UTF-8.
  static std::optional<std::string> toString(const platform::Bytes& bytes);
  /// The bytes parsed as a JSON object; absent for any other value, and for a parse error, which
  /// writes "[Error] Data isn't to Dictionary: <description> _Ext+Decode".
  static std::optional<nlohmann::json> toDic(const platform::Bytes& bytes, int options = 0);
  /// The monotonic clock's now plus `seconds` whole seconds, the limit of a wait.
  static std::chrono::steady_clock::time_point deadline(std::int64_t seconds);
};

}  // namespace vistrel::image
