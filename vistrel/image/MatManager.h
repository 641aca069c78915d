#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::image {

/// The matrix side of the registry: images stored as native matrices under ids ending in "-mat".
/// Until the native matrix store is built, no matrix is ever stored: every lookup answers its
/// "not found" value.
class MatManager {
 public:
  /// Whether a matrix is stored under `id` (even an empty one).
  bool contains(const std::string& id) const;
  /// Width or height of the matrix, absent when not found.
  std::optional<std::int64_t> width(const std::string& id) const;
  std::optional<std::int64_t> height(const std::string& id) const;
  /// Packed colour of the matrix pixel, -100 when it cannot be read.
  std::int64_t getPixel(const std::string& id, std::int64_t x, std::int64_t y) const;
  /// A new image made from the matrix; null when not found.
  platform::ImagePtr matConvert2UIImage(const std::string& id) const;
  /// Closes the matrix under `id` and removes the key; true when a matrix was closed.
  bool recycle(const std::string& id);
  /// Replaces the store with an empty one; the old matrices are closed later on their own thread.
  void removeAll();

  /// Converts the image to a matrix and stores it under a new matrix id; "" when it cannot.
  std::string addImage(platform::ImagePtr image);
  /// Matrix transforms, each stored under a new matrix id; "" when the id does not resolve.
  std::string clip(const std::string& id, std::int64_t x, std::int64_t y, std::int64_t w,
                   std::int64_t h);
  std::string rotateImage(const std::string& id, const std::string& degree);
  std::string binaryzationImageMat(const std::string& id, std::int64_t t);

 private:
  std::mutex lockDict_;
};

}  // namespace vistrel::image
