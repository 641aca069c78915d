#include "vistrel/platform/PhotoAlbum.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "vistrel/platform/Directories.h"
#include "vistrel/platform/Uuid.h"

namespace vistrel::platform {
namespace fs = std::filesystem;

fs::path PhotoAlbum::directory() {
  const char* album = std::getenv("VISTREL_ALBUM");
  const fs::path dir = album && *album ? fs::path(album) : Directories::base() / "Pictures";
  std::error_code ignored;
  fs::create_directories(dir, ignored);
  return dir;
}

PhotoAlbum::MediaType PhotoAlbum::typeOf(const fs::path& file, bool& known) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const char* images[] = {".jpg",  ".jpeg", ".png", ".gif", ".bmp",
                                 ".webp", ".heic", ".tif", ".tiff"};
  static const char* videos[] = {".mp4", ".mov", ".m4v", ".avi", ".mkv", ".webm", ".3gp"};
  known = true;
  if (std::find(std::begin(images), std::end(images), ext) != std::end(images))
    return MediaType::image;
  if (std::find(std::begin(videos), std::end(videos), ext) != std::end(videos))
    return MediaType::video;
  known = false;
  return MediaType::image;
}

void PhotoAlbum::requestAuthorization(std::function<void(int)> done) {
  std::thread([done = std::move(done)] { done(3); }).detach();
}

std::vector<fs::path> PhotoAlbum::fetch(MediaType type) {
  std::vector<std::pair<fs::file_time_type, fs::path>> items;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(directory(), ec)) {
    bool known = false;
    if (!entry.is_regular_file(ec) || typeOf(entry.path(), known) != type || !known) continue;
    items.emplace_back(entry.last_write_time(ec), entry.path());
  }
  std::sort(items.begin(), items.end(),
            [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<fs::path> out;
  for (auto& [time, path] : items) out.push_back(std::move(path));
  return out;
}

void PhotoAlbum::remove(std::vector<fs::path> items, Completion done) {
  std::thread([items = std::move(items), done = std::move(done)] {
    std::optional<std::string> error;
    for (const auto& item : items) {
      std::error_code ec;
      if (!fs::remove(item, ec) && ec) error = ec.message();
    }
    done(error);
  }).detach();
}

namespace {

std::string freshName(const std::string& prefix, const std::string& extension) {
  std::string id = randomUuid();
  return prefix + id + extension;
}

}  // namespace

void PhotoAlbum::saveImage(ImagePtr image, Completion done) {
  std::thread([image = std::move(image), done = std::move(done)] {
    const auto jpeg = image ? image->jpegData(1.0) : std::nullopt;
    if (!jpeg) {
      done("the image cannot be encoded");
      return;
    }
    const fs::path target = directory() / freshName("IMG_", ".jpg");
    std::ofstream out(target, std::ios::binary);
    out.write(reinterpret_cast<const char*>(jpeg->data()),
              static_cast<std::streamsize>(jpeg->size()));
    done(out.flush() ? std::nullopt
                     : std::optional<std::string>("cannot write " + target.string()));
  }).detach();
}

void PhotoAlbum::saveVideo(fs::path file, Completion done) {
  std::thread([file = std::move(file), done = std::move(done)] {
    bool known = false;
    if (typeOf(file, known) != MediaType::video || !known) {
      done("not a video file: " + file.string());
      return;
    }
    std::error_code ec;
    const fs::path target = directory() / freshName("VID_", file.extension().string());
    fs::copy_file(file, target, fs::copy_options::none, ec);
    done(ec ? std::optional<std::string>(ec.message()) : std::nullopt);
  }).detach();
}

}  // namespace vistrel::platform
