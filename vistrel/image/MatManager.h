#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "vistrel/image/ThreadSafeDictionary.h"
#include "vistrel/native/MatHandle.h"
#include "vistrel/platform/PlatformImage.h"

namespace vistrel::image {

/// The matrix side of the registry: matrix handles under image ids ending in "-mat".
class MatManager {
 public:
  using HandleMap = ThreadSafeDictionary<std::string, native::MatHandlePtr>;

  MatManager();

  /// The handle under `id` when its matrix is at least 1 x 1; otherwise null.
  native::MatHandlePtr getMat(const std::string& id) const;
  /// Whether the key is stored (even with an empty or closed handle).
  bool contains(const std::string& id) const;
  /// Width or height of the matrix, absent when not found.
  std::optional<std::int64_t> width(const std::string& id) const;
  std::optional<std::int64_t> height(const std::string& id) const;
  /// Packed colour (alpha 255) of the matrix pixel, -100 when it cannot be read.
  std::int64_t getPixel(const std::string& id, std::int64_t x, std::int64_t y) const;
  /// A new image made from the matrix; null when not found.
  platform::ImagePtr matConvert2UIImage(const std::string& id) const;
  /// Closes the matrix under `id` and removes the key; true when a matrix was closed.
  bool recycle(const std::string& id);
  /// Replaces the store with an empty one; the old handles are closed after the recycle delay on
  /// a thread of their own.
  void removeAll();

  /// Stores the handle under a new id ending in "-mat"; "" for a null handle.
  std::string addHandle(native::MatHandlePtr handle);
  /// Converts the image to a matrix and stores it; "" when it cannot.
  std::string addImage(const platform::ImagePtr& image);
  /// Matrix transforms, stored under new matrix ids whatever the mode; "" when the id does not
  /// resolve.
  std::string clip(const std::string& id, std::int64_t x, std::int64_t y, std::int64_t w,
                   std::int64_t h);
  std::string rotateImage(const std::string& id, const std::string& degree);
  std::string binaryzationImageMat(const std::string& id, std::int64_t t);

  /// How long removeAll waits before closing the old matrices (10 seconds).
  void setRecycleDelay(std::chrono::milliseconds delay) { recycleDelay_ = delay; }

 private:
  std::shared_ptr<HandleMap> map() const;

  mutable std::mutex mapMutex_;  // guards the replacement of matMap_ only
  std::shared_ptr<HandleMap> matMap_;
  std::mutex lockDict_;
  std::chrono::milliseconds recycleDelay_{10'000};
};

}  // namespace vistrel::image
