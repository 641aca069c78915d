#include "vistrel/image/ImageManager.h"

#include <algorithm>

#include "vistrel/platform/Uuid.h"

namespace vistrel::image {

bool isMatId(std::string_view id) { return id.ends_with("-mat"); }

std::string newImageId() {
  std::string id = platform::randomUuid();
  std::erase(id, '-');
  return id;
}

ImageManager& ImageManager::sharedInstance() {
  static ImageManager instance;
  return instance;
}

std::string ImageManager::addOnlyImage(platform::ImagePtr image) {
  std::string id = newImageId();
  imgMap_.set(id, std::make_shared<AutoImage>(std::move(image)));
  return id;
}

std::string ImageManager::storeByMode(platform::ImagePtr image) {
  if (!image) return {};
  if (opencvMat()) {
    // Matrix conversion arrives with the native matrix store; until then it fails.
    return {};
  }
  return addOnlyImage(std::move(image));
}

std::shared_ptr<AutoImage> ImageManager::autoImage(const std::string& id) const {
  if (id.empty() || isMatId(id)) return nullptr;
  auto entry = imgMap_.get(id);
  return entry ? *entry : nullptr;
}

platform::ImagePtr ImageManager::getUIImage(const std::string& id) const {
  if (id.empty()) return nullptr;
  if (isMatId(id)) return matManager_.matConvert2UIImage(id);
  const auto record = autoImage(id);
  return record ? record->uiimage() : nullptr;
}

std::optional<platform::Bytes> ImageManager::getAutoImageData(
    const std::optional<std::string>& id) const {
  if (!id) return std::nullopt;
  const auto image = getUIImage(*id);
  if (!image) return std::nullopt;
  return image->jpegData(1.0);
}

bool ImageManager::recycleImage(const std::string& id) {
  if (isMatId(id)) return matManager_.recycle(id);
  std::shared_ptr<AutoImage> record;
  if (!id.empty()) record = autoImage(id);
  imgMap_.removeValue(id);
  if (!record) return false;
  record->dropArray();
  return true;
}

bool ImageManager::isRecycled(const std::string& id) const {
  if (id.empty()) return true;
  if (isMatId(id)) return !matManager_.contains(id);
  return !imgMap_.contains(id);
}

std::int64_t ImageManager::getWidth(const std::string& id) const {
  if (isMatId(id)) return matManager_.width(id).value_or(-1);
  const auto record = autoImage(id);
  return record ? imageWidth(record->uiimage()) : 0;
}

std::int64_t ImageManager::getHeight(const std::string& id) const {
  if (isMatId(id)) return matManager_.height(id).value_or(-1);
  const auto record = autoImage(id);
  return record ? imageHeight(record->uiimage()) : 0;
}

std::int64_t ImageManager::pixel(const std::string& id, std::int64_t x, std::int64_t y) const {
  if (x < 0 || y < 0) return 0;
  if (isMatId(id)) return matManager_.getPixel(id, x, y);
  const auto record = autoImage(id);
  if (!record || !record->uiimage()) return 0;
  const PixelArrayPtr array = record->toArray2();
  if (!array || y >= array->height() || x >= array->width()) return 0;
  return array->at(static_cast<int>(x), static_cast<int>(y));
}

void ImageManager::removeAll() {
  const std::lock_guard lock(lockDict_);
  imgMap_.removeAll();
  matManager_.removeAll();
}

}  // namespace vistrel::image
