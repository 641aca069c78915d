#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vistrel::platform {

/// A decimal integer: an optional "+" or "-" and digits only, within 64 bits; absent otherwise.
std::optional<std::int64_t> parseDecimal(std::string_view text);

/// The parts between every occurrence of `separator` (an empty text gives one empty part).
std::vector<std::string_view> splitText(std::string_view text, char separator);

/// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool validUtf8(std::string_view bytes);

}  // namespace vistrel::platform
