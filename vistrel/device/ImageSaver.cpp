#include "vistrel/device/ImageSaver.h"

#include <filesystem>

#include "vistrel/files/FileUtils.h"
#include "vistrel/platform/Console.h"
#include "vistrel/platform/PhotoAlbum.h"

namespace vistrel::device {

void ImageSaver::saveCompleted(const std::optional<std::string>& error) {
  if (error) {
    if (errorHandler) errorHandler(*error);
  } else if (successHandler) {
    successHandler();
  }
}

bool ImageSaver::deleteAllPhotos(const std::string& type) {
  const auto kind =
      type == "2" ? platform::PhotoAlbum::MediaType::video : platform::PhotoAlbum::MediaType::image;
  platform::PhotoAlbum::remove(platform::PhotoAlbum::fetch(kind),
                               [](const std::optional<std::string>& error) {
                                 if (error) {
                                   platform::logOut("删除失败: " + *error);
                                 } else {
                                   platform::logOut("所有删除成功");
                                 }
                               });
  return true;
}

bool ImageSaver::saveImageToAlbumPath(const std::string& path) {
  if (path.empty()) return false;
  const auto bytes = files::FileUtils::readFile(path);
  if (!bytes) return false;
  auto image = platform::PlatformImage::decode(*bytes);
  if (!image) return false;
  auto saver = std::make_shared<ImageSaver>();
  saver->successHandler = [] { platform::logOut("imageSaver successHandler "); };
  saver->errorHandler = [](const std::string& e) { platform::logOut("imageSaver Oops! " + e); };
  platform::PhotoAlbum::saveImage(std::move(image),
                                  [saver](const auto& error) { saver->saveCompleted(error); });
  return true;
}

bool ImageSaver::saveVideoToAlbumPath(const std::string& path) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec) ||
      std::filesystem::is_directory(path, ec)) {
    return false;
  }
  auto saver = std::make_shared<ImageSaver>();
  saver->successHandler = [] { platform::logOut("imageSaver video successHandler "); };
  saver->errorHandler = [](const std::string& e) {
    platform::logOut("imageSaver video Oops! " + e);
  };
  platform::PhotoAlbum::saveVideo(path,
                                  [saver](const auto& error) { saver->saveCompleted2(error); });
  return true;
}

}  // namespace vistrel::device
