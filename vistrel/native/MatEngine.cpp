#include "vistrel/native/MatEngine.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>

#include "vistrel/api/StringUtil.h"
#include "vistrel/image/ImageManager.h"
#include "vistrel/image/Region.h"
#include "vistrel/native/FindColorMatBridge.h"

namespace vistrel::native {
namespace {

// The matrix and its store id behind an image id; absent when it does not resolve.
struct Resolved {
  MatHandlePtr handle;
  std::string storeId;
  int width = 0;
  int height = 0;
};

std::optional<Resolved> resolve(const std::string& imageId) {
  auto handle = image::ImageManager::sharedInstance().matManager().getMat(imageId);
  if (!handle) return std::nullopt;
  const auto id = handle->getNativeAdr();
  if (!id || id->empty()) return std::nullopt;
  Resolved r{handle, *id, handle->getWidth(), handle->getHeight()};
  if (r.width < 1 || r.height < 1) return std::nullopt;
  return r;
}

int narrow(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// The matrix region check, narrowed for the engine.
std::array<int, 4> region(const Resolved& r, std::int64_t x, std::int64_t y, std::int64_t w,
                          std::int64_t h) {
  const auto fitted = image::checkRegion(x, y, w, h, r.width, r.height);
  return {narrow(fitted.x), narrow(fitted.y), narrow(fitted.w), narrow(fitted.h)};
}

std::string registered(const MatHandlePtr& handle) {
  if (!handle) return {};
  return image::ImageManager::sharedInstance().matManager().addHandle(handle);
}

float readFloat(const nlohmann::json& extra, const char* key) {
  const auto found = extra.find(key);
  if (found == extra.end() || !found->is_string()) return 1.0f;
  const std::string text = found->get<std::string>();
  char* end = nullptr;
  const float value = std::strtof(text.c_str(), &end);
  return end == text.c_str() ? 1.0f : value;
}

std::string readText(const nlohmann::json& extra, const char* key) {
  const auto found = extra.find(key);
  return found != extra.end() && found->is_string() ? found->get<std::string>() : "#000000";
}

}  // namespace

MatEngine::MatEngine() : findColorMat_(std::make_unique<FindColorMatBridge>()) {}
MatEngine::~MatEngine() = default;

FindColorMatBridge& MatEngine::bridge() { return *findColorMat_; }

MatHandlePtr MatEngine::makeMat(const platform::ImagePtr& image) {
  return FindColorMatBridge::makeMat(image);
}

std::string MatEngine::cmpColor(const std::string& imageId, const std::string& colour,
                                float threshold, std::int64_t x, std::int64_t y, std::int64_t w,
                                std::int64_t h) {
  const auto r = resolve(imageId);
  if (!r) return "-1";
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  return std::to_string(findColorMat_->cmpColor(r->storeId, colour, threshold, rx, ry, rw, rh));
}

std::string MatEngine::cmpMultiColor(const std::string& imageId, const std::string& points,
                                     float threshold, std::int64_t x, std::int64_t y,
                                     std::int64_t w, std::int64_t h) {
  const auto r = resolve(imageId);
  if (!r) return "-1";
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  return std::to_string(
      findColorMat_->cmpMultiColor(r->storeId, points, threshold, rx, ry, rw, rh));
}

std::string MatEngine::findColor(const std::string& imageId, const std::string& colour,
                                 float threshold, std::int64_t x, std::int64_t y, std::int64_t w,
                                 std::int64_t h, std::int64_t limit, std::int64_t orz) {
  const auto r = resolve(imageId);
  if (!r) return "-1";
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  return findColorMat_->findColor(r->storeId, colour, threshold, rx, ry, rw, rh, narrow(limit),
                                  narrow(orz));
}

std::string MatEngine::findNotColor(const std::string& imageId, const std::string& colour,
                                    float threshold, std::int64_t x, std::int64_t y, std::int64_t w,
                                    std::int64_t h, std::int64_t limit, std::int64_t orz) {
  const auto r = resolve(imageId);
  if (!r) return {};
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  return findColorMat_->findNotColor(r->storeId, colour, threshold, rx, ry, rw, rh, narrow(limit),
                                     narrow(orz));
}

std::string MatEngine::findMultiColor(const std::string& imageId, const std::string& firstColor,
                                      const std::string& points, float threshold, std::int64_t x,
                                      std::int64_t y, std::int64_t w, std::int64_t h,
                                      std::int64_t limit, std::int64_t orz) {
  const auto r = resolve(imageId);
  if (!r) return {};
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  return findColorMat_->findMultiColor(r->storeId, firstColor, points, threshold, rx, ry, rw, rh,
                                       narrow(limit), narrow(orz));
}

std::string MatEngine::findImageByColor(const std::string& imageId, const std::string& templateId,
                                        std::int64_t x, std::int64_t y, std::int64_t w,
                                        std::int64_t h, float threshold, std::int64_t limit) {
  const auto r = resolve(imageId);
  if (!r) return {};
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  const auto t = resolve(templateId);
  if (!t) return {};
  return findColorMat_->findImageColor(r->storeId, t->storeId, threshold, rx, ry, rw, rh,
                                       narrow(limit));
}

std::string MatEngine::findImageByColorEx(const std::string& imageId, const std::string& templateId,
                                          std::int64_t x, std::int64_t y, std::int64_t w,
                                          std::int64_t h, std::int64_t limit,
                                          const std::string& extra) {
  const auto r = resolve(imageId);
  if (!r) return {};
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  const auto t = resolve(templateId);
  if (!t) return {};
  // An extra text that does not decode (or holds a non-text value) gives every default.
  auto options = nlohmann::json::parse(extra, nullptr, false);
  if (!options.is_object() ||
      std::any_of(options.begin(), options.end(),
                  [](const nlohmann::json& v) { return !v.is_string() && !v.is_null(); })) {
    options = nlohmann::json::object();
  }
  const auto integer = [&](const char* key) {
    const auto found = options.find(key);
    return found != options.end() && found->is_string()
               ? std::atoi(found->get<std::string>().c_str())
               : 0;
  };
  return findColorMat_->findImageColorEx(
      r->storeId, t->storeId, rx, ry, rw, rh, narrow(limit), readText(options, "firstColorOffset"),
      readFloat(options, "firstColorThreshold"), readText(options, "otherColorOffset"),
      readFloat(options, "otherColorThreshold"), readFloat(options, "cmpColorSucThreshold"),
      integer("startX"), integer("startY"));
}

std::string MatEngine::clipMat(const std::string& imageId, std::int64_t x, std::int64_t y,
                               std::int64_t w, std::int64_t h) {
  const auto r = resolve(imageId);
  if (!r) return {};
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  return registered(findColorMat_->clipMat(r->storeId, rx, ry, rw, rh));
}

std::string MatEngine::findImageMat(const std::string& imageId, const std::string& templateId,
                                    std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                    float weakThreshold, float threshold, std::int64_t limit,
                                    std::int64_t method) {
  const auto r = resolve(imageId);
  if (!r) return {};
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  const auto t = resolve(templateId);
  if (!t) return {};
  return findColorMat_->findImageMat(r->storeId, t->storeId, rx, ry, rw, rh, narrow(limit),
                                     weakThreshold, threshold, narrow(method));
}

std::string MatEngine::matchTemplate(const std::string& imageId, const std::string& templateId,
                                     std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                     std::int64_t maxLevel, float weakThreshold, float threshold,
                                     std::int64_t limit, std::int64_t method) {
  const auto r = resolve(imageId);
  if (!r) return {};
  const auto [rx, ry, rw, rh] = region(*r, x, y, w, h);
  const auto t = resolve(templateId);
  if (!t) return {};
  return findColorMat_->templateFindMat(r->storeId, t->storeId, rx, ry, rw, rh, narrow(limit),
                                        weakThreshold, threshold, narrow(maxLevel), narrow(method));
}

namespace {

// The six binarization options of a JSON text, each with its default.
struct Options {
  int diameter, adaptiveMethod, blockSize, c, thresholdType, maxValue;
};

Options options(const std::string& json) {
  const auto read = [&](const char* key, int fallback) {
    const auto value = api::StringUtil::getJSONStringDataByInt(key, json);
    return value ? narrow(*value) : fallback;
  };
  return {read("diameter", 0), read("adaptiveMethod", 0), read("blockSize", 7),
          read("c", 10),       read("thresholdType", 0),  read("maxValue", 255)};
}

}  // namespace

std::string MatEngine::grayImage(const std::string& imageId) {
  const auto r = resolve(imageId);
  if (!r) return {};
  return registered(findColorMat_->grayImage(r->storeId));
}

std::string MatEngine::binaryzationMatEx(const std::string& imageId, const std::string& json) {
  const auto r = resolve(imageId);
  if (!r) return {};
  const Options o = options(json);
  return registered(findColorMat_->binaryzationEx(r->storeId, o.diameter, o.adaptiveMethod,
                                                  o.blockSize, o.c, o.thresholdType, o.maxValue));
}

platform::ImagePtr MatEngine::binaryzationUIImage(const platform::ImagePtr& image,
                                                  const std::string& json) {
  if (!image) return nullptr;
  const Options o = options(json);
  return findColorMat_->binaryzationUIImageEx(image, o.diameter, o.adaptiveMethod, o.blockSize, o.c,
                                              o.thresholdType, o.maxValue);
}

platform::ImagePtr MatEngine::grayUIImageEx(const platform::ImagePtr& image) {
  return findColorMat_->grayUIImageEx(image);
}

void MatEngine::setLog(std::int32_t flag) { findColorMat_->setLog(flag); }

}  // namespace vistrel::native
