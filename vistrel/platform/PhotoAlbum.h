#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::platform {

/// A directory standing in for the photo library: $VISTREL_ALBUM, else Pictures/ under the base
/// directory. Items are images or videos by their file extension. Every operation only starts its
/// work; the outcome arrives once, later, on another thread.
class PhotoAlbum {
 public:
  enum class MediaType { image = 1, video = 2 };
  using Completion = std::function<void(const std::optional<std::string>& error)>;

  static std::filesystem::path directory();
  /// Reports the authorization status: on this platform always 3 (authorized).
  static void requestAuthorization(std::function<void(int status)> done);
  /// Every item of the type, newest first (by modification time).
  static std::vector<std::filesystem::path> fetch(MediaType type);
  /// Removes the items in one change.
  static void remove(std::vector<std::filesystem::path> items, Completion done);
  /// Saves the image re-encoded as JPEG under a fresh unique name.
  static void saveImage(ImagePtr image, Completion done);
  /// Copies the video file as it is under a fresh unique name.
  static void saveVideo(std::filesystem::path file, Completion done);
  static MediaType typeOf(const std::filesystem::path& file, bool& known);
};

}  // namespace vistrel::platform
