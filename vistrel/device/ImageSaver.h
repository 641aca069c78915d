#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vistrel::device {

/// Receives the notice that an album save has finished. Kept alive by the save until then.
class ImageSaver : public std::enable_shared_from_this<ImageSaver> {
 public:
  std::function<void()> successHandler;
  std::function<void(const std::string& error)> errorHandler;

  /// Image and video saves: the error handler with an error, the success handler without.
  void saveCompleted(const std::optional<std::string>& error);
  void saveCompleted2(const std::optional<std::string>& error) { saveCompleted(error); }

  /// Starts deleting every image ("2": every video) of the album, newest first, in one change;
  /// the outcome is only logged. Always true.
  static bool deleteAllPhotos(const std::string& type);
  /// Starts the album save of an image file (re-encoded) or a video file (copied); false when the
  /// path is empty, the file has no bytes or is no image (videos: nothing there, or a directory).
  static bool saveImageToAlbumPath(const std::string& path);
  static bool saveVideoToAlbumPath(const std::string& path);
};

}  // namespace vistrel::device
