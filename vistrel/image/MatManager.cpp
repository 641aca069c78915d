#include "vistrel/image/MatManager.h"

#include "vistrel/platform/Console.h"

namespace vistrel::image {

bool MatManager::contains(const std::string&) const { return false; }

std::optional<std::int64_t> MatManager::width(const std::string&) const { return std::nullopt; }

std::optional<std::int64_t> MatManager::height(const std::string&) const { return std::nullopt; }

std::int64_t MatManager::getPixel(const std::string&, std::int64_t, std::int64_t) const {
  return -100;
}

platform::ImagePtr MatManager::matConvert2UIImage(const std::string&) const { return nullptr; }

bool MatManager::recycle(const std::string&) { return false; }

std::string MatManager::addImage(platform::ImagePtr) { return {}; }

std::string MatManager::clip(const std::string&, std::int64_t, std::int64_t, std::int64_t,
                             std::int64_t) {
  return {};
}

std::string MatManager::rotateImage(const std::string&, const std::string&) { return {}; }

std::string MatManager::binaryzationImageMat(const std::string&, std::int64_t) { return {}; }

void MatManager::removeAll() {
  platform::logOut("matManager --->>>> removeAll image");
  const std::lock_guard lock(lockDict_);
  // No matrix is stored: nothing to hand to the delayed recycle.
}

}  // namespace vistrel::image
