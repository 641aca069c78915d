#include "vistrel/image/ImageManager.h"

#include <algorithm>
#include <vector>

#include "vistrel/image/ImageUtils.h"

#include "vistrel/platform/Uuid.h"

namespace vistrel::image {

bool isMatId(std::string_view id) { return id.ends_with("-mat"); }

std::string newImageId() {
  std::string id = platform::randomUuid();
  std::erase(id, '-');
  return id;
}

ImageManager& ImageManager::sharedInstance() {
  // Lives to the end of the process, never torn down (its matrix handles would otherwise close
  // entries of a store already destroyed at exit).
  static ImageManager* const instance = new ImageManager();
  return *instance;
}

std::string ImageManager::addOnlyImage(platform::ImagePtr image) {
  std::string id = newImageId();
  imgMap_.set(id, std::make_shared<AutoImage>(std::move(image)));
  return id;
}

std::string ImageManager::storeByMode(platform::ImagePtr image) {
  if (!image) return {};
  if (opencvMat()) return matManager_.addImage(std::move(image));
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

std::string ImageManager::clip(const std::string& id, std::int64_t x, std::int64_t y,
                               std::int64_t w, std::int64_t h) {
  if (x < 0 || y < 0) return {};
  if (isMatId(id)) return matManager_.clip(id, x, y, w, h);
  const auto record = autoImage(id);
  if (!record || !record->uiimage()) return {};
  const Region r = AutoImage::checkXYWHAutoImage(x, y, w, h, *record);
  // A region covering the whole image checks to 0, 0, 0, 0, which clips to nothing.
  return storeByMode(ImageUtils::clipWithImageRect(record->uiimage(), r.x, r.y, r.w, r.h));
}

std::string ImageManager::rotateImage(const std::string& id, const std::string& degree) {
  if (isMatId(id)) return matManager_.rotateImage(id, degree);
  const auto record = autoImage(id);
  if (!record || !record->uiimage() || degree.empty()) return {};
  return storeByMode(ImageUtils::rotated(record->uiimage(), degree));
}

std::string ImageManager::binaryzationImage(const std::string& id, std::int64_t t) {
  if (isMatId(id)) return matManager_.binaryzationImageMat(id, t);
  const auto record = autoImage(id);
  if (!record) return {};
  return storeByMode(ImageUtils::twoLevels(record->uiimage(), t));
}

std::string ImageManager::imageToMatFormat(const std::string& id) {
  return matManager_.addImage(getUIImage(id));
}

native::MatEngine& ImageManager::matEngine() {
  static native::MatEngine engine;
  return engine;
}

std::string ImageManager::matToImageFormat(const std::string& id) {
  if (!isMatId(id)) return {};
  const auto image = matManager_.matConvert2UIImage(id);
  if (!image) return {};
  return addOnlyImage(image);
}

void ImageManager::removeAll() {
  const std::lock_guard lock(lockDict_);
  imgMap_.removeAll();
  matManager_.removeAll();
}

}  // namespace vistrel::image
