#include "vistrel/api/AutoApi.h"

#include <cctype>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "vistrel/api/StringUtil.h"
#include "vistrel/image/Color.h"
#include "vistrel/image/ImageManager.h"

namespace vistrel::api {
namespace {

using image::ImageManager;

constexpr float kDefaultThreshold = 0.9f;

bool readSwitch(const std::string& json) {
  const auto parsed = StringUtil::parse(json);
  if (!parsed) return false;
  std::string value = StringUtil::getJSONStringData("use", *parsed);
  for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return value == "1";
}

// A threshold text of the extended image search: a decimal number, 1.0 when absent or not one.
float readThreshold(const std::optional<std::string>& text) {
  if (!text || text->empty()) return 1.0f;
  char* end = nullptr;
  const float value = std::strtof(text->c_str(), &end);
  if (end == text->c_str() || *end != '\0') return 1.0f;
  return value;
}

std::int64_t readInteger(const std::optional<std::string>& text) {
  return text ? StringUtil::textToInt(*text) : 0;
}

}  // namespace

AutoApi& AutoApi::getInstance() {
  static AutoApi instance;
  return instance;
}

std::string AutoApi::useOpencvMat(const std::string& json) {
  ImageManager::sharedInstance().setOpencvMat(readSwitch(json));
  return "ok";
}

std::string AutoApi::setMatLog(const std::string& json) {
  return imageFinderProcessor_.setMatLog(readSwitch(json) ? 1 : 0);
}

std::string AutoApi::addImage(const ImagePtr& img) {
  if (!img) return {};
  return ImageManager::sharedInstance().storeByMode(img);
}

std::optional<Bytes> AutoApi::getAutoImageData(const std::optional<std::string>& uuid) {
  return ImageManager::sharedInstance().getAutoImageData(uuid);
}

std::string AutoApi::removeImage(const std::optional<std::string>& uuid) {
  if (!uuid) return {};
  ImageManager::sharedInstance().recycleImage(*uuid);
  return "ok";
}

std::string AutoApi::recycleImage(const std::optional<std::string>& uuid) {
  return removeImage(uuid);
}

std::string AutoApi::removeAllImage() {
  ImageManager::sharedInstance().removeAll();
  return "ok";
}

std::string AutoApi::isRecycled(const std::optional<std::string>& uuid) {
  if (!uuid) return {};
  return ImageManager::sharedInstance().isRecycled(*uuid) ? "ok" : "";
}

std::string AutoApi::getWidth(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return std::to_string(ImageManager::sharedInstance().getWidth(s->imageId.value_or("")));
}

std::string AutoApi::getHeight(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return std::to_string(ImageManager::sharedInstance().getHeight(s->imageId.value_or("")));
}

std::string AutoApi::pixel(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return std::to_string(
      ImageManager::sharedInstance().pixel(s->imageId.value_or(""), s->x.value_or(0),
                                           s->y.value_or(0)));
}

std::string AutoApi::pixelRGB(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return image::stringColor(ImageManager::sharedInstance().pixel(
      s->imageId.value_or(""), s->x.value_or(0), s->y.value_or(0)));
}

std::string AutoApi::cmpColor(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return std::to_string(imageFinderProcessor_.cmpColor(
      s->imageId.value_or(""), s->threshold.value_or(kDefaultThreshold), s->x.value_or(0),
      s->y.value_or(0), s->w.value_or(0), s->h.value_or(0), s->firstColor.value_or("")));
}

std::string AutoApi::cmpMultiColor(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return std::to_string(imageFinderProcessor_.cmpMultiColor(
      s->imageId.value_or(""), s->firstColor.value_or(""),
      s->threshold.value_or(kDefaultThreshold), s->x.value_or(0), s->y.value_or(0),
      s->w.value_or(0), s->h.value_or(0)));
}

std::string AutoApi::findColor(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return imageFinderProcessor_.findColor(
      s->imageId.value_or(""), s->firstColor.value_or(""),
      s->threshold.value_or(kDefaultThreshold), s->x.value_or(0), s->y.value_or(0),
      s->w.value_or(0), s->h.value_or(0), s->limit.value_or(0), s->orz.value_or(0));
}

std::string AutoApi::findNotColor(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return imageFinderProcessor_.findNotColor(
      s->imageId.value_or(""), s->firstColor.value_or(""),
      s->threshold.value_or(kDefaultThreshold), s->x.value_or(0), s->y.value_or(0),
      s->w.value_or(0), s->h.value_or(0), s->limit.value_or(0), s->orz.value_or(0), false,
      s->allNotEquals == 1);
}

std::string AutoApi::findMultiColor(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return imageFinderProcessor_.findMultiColor(
      s->imageId.value_or(""), s->firstColor.value_or(""), s->colorPoints.value_or(""),
      s->threshold.value_or(kDefaultThreshold), s->x.value_or(0), s->y.value_or(0),
      s->w.value_or(0), s->h.value_or(0), s->limit.value_or(0), s->orz.value_or(0));
}

std::string AutoApi::findImageByColor(const std::string& json) {
  const auto s = StringUtil::jsonDecode<FindImageByColorSelector>(json);
  if (!s) return {};
  return imageFinderProcessor_.findImageByColor(
      s->imageId.value_or(""), s->templateId.value_or(""), s->x.value_or(0), s->y.value_or(0),
      s->w.value_or(0), s->h.value_or(0), s->threshold.value_or(kDefaultThreshold),
      s->limit.value_or(0));
}

std::string AutoApi::findImageByColorEx(const std::string& json) {
  const auto s = StringUtil::jsonDecode<FindImageByColorSelector>(json);
  if (!s) return {};
  const std::string extraText = s->extra.value_or("{}");
  const auto extra =
      StringUtil::jsonDecode<FindImageByColorSelectorExtra>(extraText)
          .value_or(FindImageByColorSelectorExtra{});
  // startX and startY are read and not used.
  const std::int64_t startX = readInteger(extra.startX);
  const std::int64_t startY = readInteger(extra.startY);
  return imageFinderProcessor_.findImageByColorEx(
      s->imageId.value_or(""), s->templateId.value_or(""), s->x.value_or(0), s->y.value_or(0),
      s->w.value_or(0), s->h.value_or(0), s->limit.value_or(0),
      extra.firstColorOffset.value_or("#000000"), readThreshold(extra.firstColorThreshold),
      extra.otherColorOffset.value_or("#000000"), readThreshold(extra.otherColorThreshold),
      readThreshold(extra.cmpColorSucThreshold), startX, startY, extraText);
}

}  // namespace vistrel::api
