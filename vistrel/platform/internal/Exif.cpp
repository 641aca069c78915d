#include "vistrel/platform/internal/Exif.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace vistrel::platform::internal {
namespace {

struct Reader {
  std::span<const std::uint8_t> data;
  bool littleEndian = false;

  bool has(std::size_t offset, std::size_t count) const {
    return offset <= data.size() && count <= data.size() - offset;
  }
  std::uint32_t u16(std::size_t at) const {
    return littleEndian ? (data[at] | (std::uint32_t{data[at + 1]} << 8))
                        : ((std::uint32_t{data[at]} << 8) | data[at + 1]);
  }
  std::uint32_t u32(std::size_t at) const {
    return littleEndian ? (u16(at) | (u16(at + 2) << 16)) : ((u16(at) << 16) | u16(at + 2));
  }
};

// Reads the orientation tag (0x0112) of IFD0 of a TIFF block.
int tiffOrientation(std::span<const std::uint8_t> tiff) {
  Reader r{tiff};
  if (!r.has(0, 8)) return 1;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    r.littleEndian = true;
  } else if (!(tiff[0] == 'M' && tiff[1] == 'M')) {
    return 1;
  }
  const std::size_t ifd = r.u32(4);
  if (!r.has(ifd, 2)) return 1;
  const std::size_t entries = r.u16(ifd);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = ifd + 2 + 12 * i;
    if (!r.has(entry, 12)) return 1;
    if (r.u16(entry) == 0x0112) {
      const auto value = static_cast<int>(r.u16(entry + 8));
      return value >= 1 && value <= 8 ? value : 1;
    }
  }
  return 1;
}

}  // namespace

int jpegExifOrientation(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return 1;
  std::size_t at = 2;
  while (at + 4 <= bytes.size()) {
    if (bytes[at] != 0xFF) return 1;
    const std::uint8_t marker = bytes[at + 1];
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return 1;  // image data starts: no EXIF before it
    const std::size_t length = (std::size_t{bytes[at + 2]} << 8) | bytes[at + 3];
    if (length < 2 || at + 2 + length > bytes.size()) return 1;
    const auto segment = bytes.subspan(at + 4, length - 2);
    static constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (marker == 0xE1 && segment.size() > sizeof kExif &&
        std::equal(std::begin(kExif), std::end(kExif), segment.begin())) {
      return tiffOrientation(segment.subspan(sizeof kExif));
    }
    at += 2 + length;
  }
  return 1;
}

}  // namespace vistrel::platform::internal
