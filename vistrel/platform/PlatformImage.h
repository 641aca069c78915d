#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::platform {

using Bytes = std::vector<std::uint8_t>;

/// How a bitmap is turned for display, as the EXIF orientation tag names it (up = 1, down = 3,
/// left = 8, right = 6, and the mirrored forms).
enum class Orientation {
  up,
  down,
  left,
  right,
  upMirrored,
  downMirrored,
  leftMirrored,
  rightMirrored
};

/// "up", "down", "left", "right", "upMirrored", ...
std::string_view orientationName(Orientation orientation);

/// Straight (not premultiplied) RGBA pixels, 8 bits a channel, memory order R, G, B, A,
/// rows top to bottom, 4 x width bytes a row. Immutable once shared.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

class PlatformImage;
/// Images are immutable and shared; an absent image is a null pointer.
using ImagePtr = std::shared_ptr<const PlatformImage>;

/// The platform image: a bitmap (which may be missing) with a scale and an orientation.
/// Its size is the displayed size in points: the bitmap's size divided by the scale, width and
/// height swapped for the left and right orientations.
class PlatformImage {
 public:
  PlatformImage(std::shared_ptr<const Bitmap> bitmap, double scale, Orientation orientation);

  /// Decodes JPEG or PNG bytes (alpha kept; a JPEG's EXIF orientation sets the orientation mark).
  /// Null when the bytes are no image.
  static ImagePtr decode(std::span<const std::uint8_t> bytes);
  /// Decodes the file at `path`; null when it cannot be read or decoded.
  static ImagePtr fromFile(const std::string& path);
  /// An image over straight RGBA pixels (4 x width x height bytes); null when the sizes disagree.
  static ImagePtr fromRgba(int width, int height, std::vector<std::uint8_t> rgba,
                           double scale = 1.0, Orientation orientation = Orientation::up);
  /// An image from a one-channel 8-bit gray buffer (width x height bytes); null when the sizes
  /// disagree.
  static ImagePtr fromGray(int width, int height, std::span<const std::uint8_t> gray);
  /// An image over an existing bitmap, pixels untouched.
  static ImagePtr over(std::shared_ptr<const Bitmap> bitmap, double scale = 1.0,
                       Orientation orientation = Orientation::up);

  /// JPEG at `quality` 0..1 (1 is the encoder's best); alpha is composited onto black.
  std::optional<Bytes> jpegData(double quality) const;
  /// PNG with alpha.
  std::optional<Bytes> pngData() const;

  /// The bitmap cut to the pixel rectangle, itself cut to the bitmap's bounds; null when nothing
  /// remains or there is no bitmap.
  std::shared_ptr<const Bitmap> crop(std::int64_t x, std::int64_t y, std::int64_t width,
                                     std::int64_t height) const;
  /// Draws the image, honouring its orientation, onto a new surface of the given size at scale 1.
  /// Null without bitmap or for an empty size.
  ImagePtr redraw(int width, int height) const;
  /// Draws the bitmap stretched to width x height (orientation not applied) into `out` as
  /// premultiplied RGBA bytes, 4 x width bytes a row. False without bitmap or for an empty size.
  bool readPremultiplied(int width, int height, std::uint8_t* out) const;

  /// The straight RGBA bitmap, or null.
  const std::shared_ptr<const Bitmap>& bitmap() const { return bitmap_; }
  /// Displayed width and height in points.
  double width() const;
  double height() const;
  double scale() const { return scale_; }
  Orientation orientation() const { return orientation_; }

 private:
  std::shared_ptr<const Bitmap> bitmap_;
  double scale_;
  Orientation orientation_;
};

}  // namespace vistrel::platform
