#pragma once

#include <bit>
#include <cstdint>
#include <memory>

namespace vistrel::image {

static_assert(std::endian::native == std::endian::little,
              "packed colours are the RGBA bytes of a pixel read as a little-endian word");

/// The pixel array of an image: H rows of W packed colours (red in bits 0-7, green 8-15,
/// blue 16-23, alpha 24-31, premultiplied), stored contiguously, read as at(x, y) or row(y)[x].
class PixelArray {
 public:
  /// An array whose pixels the caller fills; both sizes must be above 0.
  PixelArray(int width, int height)
      : width_(width),
        height_(height),
        pixels_(
            allocatePixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))) {}

  int width() const { return width_; }
  int height() const { return height_; }
  const std::uint32_t* data() const { return pixels_.get(); }
  std::uint32_t* data() { return pixels_.get(); }
  const std::uint32_t* row(int y) const { return data() + offset(y); }
  std::uint32_t* row(int y) { return data() + offset(y); }
  std::uint32_t at(int x, int y) const { return row(y)[x]; }

 private:
  std::size_t offset(int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }

  struct Free {
    void operator()(std::uint32_t* p) const;
  };
  using Pixels = std::unique_ptr<std::uint32_t[], Free>;
  // Large arrays are placed on huge pages where the system offers them: a screenshot's first
  // touch then takes a few page faults instead of thousands.
  static Pixels allocatePixels(std::size_t count);

  int width_;
  int height_;
  Pixels pixels_;
};

/// Shared and immutable once built: a search keeps the array it holds even when the image is
/// recycled meanwhile.
using PixelArrayPtr = std::shared_ptr<const PixelArray>;

}  // namespace vistrel::image
