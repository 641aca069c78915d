#include "vistrel/image/MatManager.h"

#include <thread>

#include "vistrel/image/Color.h"
#include "vistrel/image/ImageManager.h"
#include "vistrel/image/ImageUtils.h"
#include "vistrel/native/FindColorMatBridge.h"
#include "vistrel/native/MatEngine.h"
#include "vistrel/platform/Console.h"

namespace vistrel::image {

MatManager::MatManager() : matMap_(std::make_shared<HandleMap>()) {}

std::shared_ptr<MatManager::HandleMap> MatManager::map() const {
  const std::lock_guard lock(mapMutex_);
  return matMap_;
}

native::MatHandlePtr MatManager::getMat(const std::string& id) const {
  if (id.empty()) return nullptr;
  const auto entry = map()->get(id);
  if (!entry || !*entry) return nullptr;
  const auto& handle = *entry;
  return handle->getWidth() > 0 && handle->getHeight() > 0 ? handle : nullptr;
}

bool MatManager::contains(const std::string& id) const { return map()->contains(id); }

std::optional<std::int64_t> MatManager::width(const std::string& id) const {
  const auto handle = getMat(id);
  if (!handle) return std::nullopt;
  return handle->getWidth();
}

std::optional<std::int64_t> MatManager::height(const std::string& id) const {
  const auto handle = getMat(id);
  if (!handle) return std::nullopt;
  return handle->getHeight();
}

std::int64_t MatManager::getPixel(const std::string& id, std::int64_t x, std::int64_t y) const {
  const auto handle = getMat(id);
  if (!handle) return -100;
  const std::string hex = handle->getMatColorHex(x, y);
  if (hex.empty()) return -100;
  return Color::hexStr(hex).rgb().value_or(-100);
}

platform::ImagePtr MatManager::matConvert2UIImage(const std::string& id) const {
  const auto handle = getMat(id);
  if (!handle) return nullptr;
  const auto storeId = handle->getNativeAdr();
  return storeId ? native::FindColorMatBridge::matConvertUIImage(*storeId) : nullptr;
}

bool MatManager::recycle(const std::string& id) {
  const auto handle = getMat(id);
  map()->removeValue(id);
  if (!handle) return false;
  handle->close();
  return true;
}

void MatManager::removeAll() {
  platform::logOut("matManager --->>>> removeAll image");
  const std::lock_guard lock(lockDict_);
  std::shared_ptr<HandleMap> old;
  {
    const std::lock_guard swap(mapMutex_);
    if (matMap_->count() == 0) return;
    old = std::exchange(matMap_, std::make_shared<HandleMap>());
  }
  std::thread([old, delay = recycleDelay_] {
    platform::logOut("delayRecycleAll MAT .... tmp size:  " + std::to_string(old->count()));
    std::this_thread::sleep_for(delay);
    platform::logOut("START ... delayRecycleAll MAT .... tmp size:  " +
                     std::to_string(old->count()));
    for (const auto& [id, handle] : old->entries()) {
      if (handle) handle->close();
    }
    old->removeAll();
  }).detach();
}

std::string MatManager::addHandle(native::MatHandlePtr handle) {
  if (!handle) return {};
  std::string id = newImageId() + "-mat";
  map()->set(id, std::move(handle));
  return id;
}

std::string MatManager::addImage(const platform::ImagePtr& image) {
  return addHandle(native::MatEngine::makeMat(image));
}

std::string MatManager::clip(const std::string& id, std::int64_t x, std::int64_t y, std::int64_t w,
                             std::int64_t h) {
  return ImageManager::sharedInstance().matEngine().clipMat(id, x, y, w, h);
}

std::string MatManager::rotateImage(const std::string& id, const std::string& degree) {
  const auto image = matConvert2UIImage(id);
  if (!image || degree.empty()) return {};
  return addImage(ImageUtils::rotated(image, degree));
}

std::string MatManager::binaryzationImageMat(const std::string& id, std::int64_t t) {
  const auto image = matConvert2UIImage(id);
  if (!image) return {};
  return addImage(ImageUtils::twoLevels(image, t));
}

}  // namespace vistrel::image
