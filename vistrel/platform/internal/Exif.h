#pragma once

#include <cstdint>
#include <span>

namespace vistrel::platform::internal {

/// The EXIF orientation tag (1..8) of a JPEG file, or 1 when there is none or it is unreadable.
int jpegExifOrientation(std::span<const std::uint8_t> bytes);

}  // namespace vistrel::platform::internal
