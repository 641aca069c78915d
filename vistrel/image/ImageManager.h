#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "vistrel/image/AutoImage.h"
#include "vistrel/image/MatManager.h"
#include "vistrel/image/ThreadSafeDictionary.h"
#include "vistrel/native/MatEngine.h"
#include "vistrel/platform/PlatformImage.h"

namespace vistrel::image {

/// True when `id` names the matrix store (ends in "-mat", case-sensitive).
bool isMatId(std::string_view id);

/// The process-wide image registry: pixel images and matrix images under ids.
class ImageManager {
 public:
  /// The one registry, made on first use.
  static ImageManager& sharedInstance();

  ImageManager(const ImageManager&) = delete;
  ImageManager& operator=(const ImageManager&) = delete;

  /// Matrix mode: how newly added and derived images are stored.
  bool opencvMat() const { return opencvMat_.load(std::memory_order_relaxed); }
  void setOpencvMat(bool on) { opencvMat_.store(on, std::memory_order_relaxed); }

  /// Stores `image` as a pixel image under a new id (32 upper-case hexadecimal digits).
  std::string addOnlyImage(platform::ImagePtr image);
  /// Stores a new image as matrix mode says; the empty text when it cannot be stored.
  std::string storeByMode(platform::ImagePtr image);

  /// The stored pixel image record, or null.
  std::shared_ptr<AutoImage> autoImage(const std::string& id) const;
  /// The stored image (a matrix image converted anew); null when unknown.
  platform::ImagePtr getUIImage(const std::string& id) const;
  /// The stored image as JPEG at quality 1.0; absent when unknown or not encodable.
  std::optional<platform::Bytes> getAutoImageData(const std::optional<std::string>& id) const;
  /// Releases the id; true when something was released.
  bool recycleImage(const std::string& id);
  /// True when the id is empty or not in the store its suffix names.
  bool isRecycled(const std::string& id) const;
  /// Size of the stored image: 0 for an unknown pixel id, -1 for an unknown matrix id.
  std::int64_t getWidth(const std::string& id) const;
  std::int64_t getHeight(const std::string& id) const;
  /// Packed colour at column x, row y: 0 outside a pixel image or for a negative coordinate,
  /// -100 when a matrix pixel cannot be read.
  std::int64_t pixel(const std::string& id, std::int64_t x, std::int64_t y) const;
  /// Empties both stores (matrices are closed after a delay).
  void removeAll();

  // Transforms: each stores a new image (as matrix mode says) and answers its id, or "".
  /// The region (checked against the image); a negative x or y, or a region covering the whole
  /// image, gives "".
  std::string clip(const std::string& id, std::int64_t x, std::int64_t y, std::int64_t w,
                   std::int64_t h);
  /// "0" drops the orientation mark, "90" turns clockwise, "-90" counter-clockwise; any other
  /// text gives "".
  std::string rotateImage(const std::string& id, const std::string& degree);
  /// Two levels: 255 where (red + green + blue) / 3 >= t, else 0, as a gray image.
  std::string binaryzationImage(const std::string& id, std::int64_t t);
  /// Any stored image copied into a new matrix image.
  std::string imageToMatFormat(const std::string& id);
  /// A matrix image copied into a new pixel image; "" for any other id.
  std::string matToImageFormat(const std::string& id);

  MatManager& matManager() { return matManager_; }
  /// The matrix engine of the registry's matrix transforms.
  static native::MatEngine& matEngine();

 private:
  ImageManager() = default;

  ThreadSafeDictionary<std::string, std::shared_ptr<AutoImage>> imgMap_;
  std::mutex lockDict_;
  std::atomic<bool> opencvMat_{false};
  MatManager matManager_;
};

/// A fresh image id: a random UUID, upper case, without dashes.
std::string newImageId();

}  // namespace vistrel::image
