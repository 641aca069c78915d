#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::platform {

/// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks).
std::string base64Encode(const Bytes& bytes);

/// Decodes standard Base64; padding and line breaks are skipped. Absent for any other character.
std::optional<Bytes> base64Decode(std::string_view text);

}  // namespace vistrel::platform
