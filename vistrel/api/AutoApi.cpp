#include "vistrel/api/AutoApi.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include <filesystem>
#include "vistrel/api/StringUtil.h"
#include "vistrel/device/ImageSaver.h"
#include "vistrel/files/FileUtils.h"
#include "vistrel/files/TextFile.h"
#include "vistrel/http/HttpUtil.h"
#include "vistrel/image/Color.h"
#include "vistrel/image/ImageManager.h"
#include "vistrel/image/ImageUtils.h"
#include "vistrel/ocr/VisionOcr.h"
#include "vistrel/platform/Base64.h"
#include "vistrel/platform/Clipboard.h"
#include "vistrel/platform/Console.h"
#include "vistrel/platform/Directories.h"
#include "vistrel/platform/HttpTransport.h"
#include "vistrel/platform/PhotoAlbum.h"
#include "vistrel/platform/Text.h"
#include "vistrel/platform/UrlOpener.h"

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
  return std::to_string(ImageManager::sharedInstance().pixel(s->imageId.value_or(""),
                                                             s->x.value_or(0), s->y.value_or(0)));
}

std::string AutoApi::pixelRGB(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return image::stringColor(ImageManager::sharedInstance().pixel(
      s->imageId.value_or(""), s->x.value_or(0), s->y.value_or(0)));
}

std::string AutoApi::base64(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  const auto bytes = ImageManager::sharedInstance().getAutoImageData(s->imageId.value_or(""));
  if (!bytes) return {};
  return platform::base64Encode(*bytes);
}

std::string AutoApi::clip(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return ImageManager::sharedInstance().clip(s->imageId.value_or(""), s->x.value_or(0),
                                             s->y.value_or(0), s->w.value_or(0), s->h.value_or(0));
}

std::string AutoApi::rotateImage(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return ImageManager::sharedInstance().rotateImage(s->imageId.value_or(""),
                                                    s->degree.value_or(""));
}

std::string AutoApi::binaryzationImage(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  const double threshold = std::trunc(double{s->threshold.value_or(200.0f)});
  // No integer threshold can be formed from it: a clear failure rather than a wrapped value.
  if (!std::isfinite(threshold) || threshold < -9223372036854775808.0 ||
      threshold >= 9223372036854775808.0) {
    return {};
  }
  return ImageManager::sharedInstance().binaryzationImage(s->imageId.value_or(""),
                                                          static_cast<std::int64_t>(threshold));
}

namespace {

std::optional<std::string> uuidOf(const std::string& json) {
  const auto parsed = StringUtil::parse(json);
  if (!parsed) return std::nullopt;
  return StringUtil::getJSONStringData("uuid", *parsed);
}

}  // namespace

std::string AutoApi::matToImageFormat(const std::string& json) {
  const auto uuid = uuidOf(json);
  return uuid ? ImageManager::sharedInstance().matToImageFormat(*uuid) : "";
}

std::string AutoApi::imageToMatFormat(const std::string& json) {
  const auto uuid = uuidOf(json);
  return uuid ? ImageManager::sharedInstance().imageToMatFormat(*uuid) : "";
}

ImagePtr AutoApi::clipImage(const ImagePtr& img) {
  if (!img) return nullptr;
  return image::ImageUtils::clipWithImageRect(img, 0, 0, image::imageWidth(img),
                                              image::imageHeight(img));
}

ImagePtr AutoApi::toUpImage(const ImagePtr& img) { return image::ImageUtils::toUpImage(img); }

ImagePtr AutoApi::toLeftImage(const ImagePtr& img) { return image::ImageUtils::toLeftImage(img); }

ImagePtr AutoApi::toRightImage(const ImagePtr& img) { return image::ImageUtils::toRightImage(img); }

ImagePtr AutoApi::toUpImageFrom(const std::optional<Bytes>& data) {
  if (!data) return nullptr;
  return image::ImageUtils::toUpImage(platform::PlatformImage::decode(*data));
}

std::optional<Bytes> AutoApi::toUpImageData(const ImagePtr& img) {
  return image::ImageUtils::jpegData(image::ImageUtils::toUpImage(img));
}

std::optional<Bytes> AutoApi::toUpImageData2(const ImagePtr& img, float q, std::int64_t type) {
  const auto up = image::ImageUtils::toUpImage(img);
  if (!up) return std::nullopt;
  return type == 2 ? up->pngData() : up->jpegData(double{q});
}

ImagePtr AutoApi::toUpImageData3(const ImagePtr& img, float q, std::int64_t type) {
  if (!img || (type != 1 && type != 2)) return nullptr;
  const auto bytes = type == 2 ? img->pngData() : img->jpegData(double{q});
  if (!bytes) return nullptr;
  return image::ImageUtils::toUpImage(platform::PlatformImage::decode(*bytes));
}

std::optional<Bytes> AutoApi::toUpImageDataFrom(const std::optional<Bytes>& data) {
  return toUpImageData(toUpImageFrom(data));
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
      s->imageId.value_or(""), s->firstColor.value_or(""), s->threshold.value_or(kDefaultThreshold),
      s->x.value_or(0), s->y.value_or(0), s->w.value_or(0), s->h.value_or(0)));
}

std::string AutoApi::findColor(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return imageFinderProcessor_.findColor(s->imageId.value_or(""), s->firstColor.value_or(""),
                                         s->threshold.value_or(kDefaultThreshold), s->x.value_or(0),
                                         s->y.value_or(0), s->w.value_or(0), s->h.value_or(0),
                                         s->limit.value_or(0), s->orz.value_or(0));
}

std::string AutoApi::findNotColor(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return imageFinderProcessor_.findNotColor(
      s->imageId.value_or(""), s->firstColor.value_or(""), s->threshold.value_or(kDefaultThreshold),
      s->x.value_or(0), s->y.value_or(0), s->w.value_or(0), s->h.value_or(0), s->limit.value_or(0),
      s->orz.value_or(0), false, s->allNotEquals == 1);
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
  const auto extra = StringUtil::jsonDecode<FindImageByColorSelectorExtra>(extraText).value_or(
      FindImageByColorSelectorExtra{});
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

namespace vistrel::api {

std::string AutoApi::findImage(const std::string& json) {
  const auto s = StringUtil::jsonDecode<OpencvMatchParam>(json);
  if (!s) return {};
  return imageFinderProcessor_.findImage(
      s->imageId.value_or(""), s->templateId.value_or(""), s->x.value_or(0), s->y.value_or(0),
      s->w.value_or(0), s->h.value_or(0), s->weakThreshold.value_or(0.9f),
      s->threshold.value_or(0.9f), -1, s->limit.value_or(0), s->method.value_or(5));
}

std::string AutoApi::matchTemplate(const std::string& json) {
  const auto s = StringUtil::jsonDecode<OpencvMatchParam>(json);
  if (!s) return {};
  return imageFinderProcessor_.matchTemplate(s->imageId.value_or(""), s->templateId.value_or(""),
                                             s->x.value_or(0), s->y.value_or(0), s->w.value_or(0),
                                             s->h.value_or(0), s->weakThreshold.value_or(0.9f),
                                             s->threshold.value_or(0.9f), s->maxLevel.value_or(-1),
                                             s->limit.value_or(0), s->method.value_or(5));
}

std::string AutoApi::binaryzationEx(const std::string& json) {
  const auto parsed = StringUtil::parse(json);
  if (!parsed) return {};
  return imageFinderProcessor_.binaryzationEx(StringUtil::getJSONStringData("imageId", *parsed),
                                              json);
}

std::string AutoApi::grayImage(const std::string& json) {
  const auto parsed = StringUtil::parse(json);
  if (!parsed) return {};
  return imageFinderProcessor_.grayImage(StringUtil::getJSONStringData("imageId", *parsed), json);
}

std::string AutoApi::saveFile(const std::optional<Bytes>& data, const std::string& name) {
  if (!data || name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
      name.find('\0') != std::string::npos) {
    return {};
  }
  const auto target = platform::Directories::caches() / name;
  std::error_code ignored;
  std::filesystem::remove_all(target, ignored);
  if (!files::FileUtils::writeFile(*data, target.string(), files::WriteOptions::atomic)) return {};
  return target.string();
}

std::string AutoApi::requestEx(const std::string& json) { return http::HttpUtil::requestEx2(json); }

namespace {

std::string bodyText(const std::optional<Bytes>& bytes) {
  if (!bytes) return {};
  std::string text(bytes->begin(), bytes->end());
  return files::validIn(text, files::Encoding::utf8) ? text : "";
}

}  // namespace

std::string AutoApi::httpGet(const std::string& url, const std::string& timeout) {
  return bodyText(
      http::HttpUtil::httpGet(url, std::nullopt, std::nullopt, http::HttpUtil::timeoutOf(timeout)));
}

std::string AutoApi::httpPostJson(const std::string& url, const std::string& timeout,
                                  const std::string& body) {
  return bodyText(http::HttpUtil::httpPostJsonAFData(url, http::HttpUtil::timeoutOf(timeout), body,
                                                     std::nullopt));
}

std::string AutoApi::setInitOcr(const std::string& json) {
  const auto s = StringUtil::jsonDecode<OcrSelector>(json);
  if (s && s->extra) {
    const std::lock_guard lock(ocrMutex_);
    ocrVisionExtra_ = *s->extra;
  }
  return "ok";
}

std::string AutoApi::ocrImage(const std::string& json) {
  const auto s = StringUtil::jsonDecode<OcrSelector>(json);
  if (!s || !s->imageId) return {};
  const auto image = ImageManager::sharedInstance().getUIImage(*s->imageId);
  if (!image) return {};
  std::string options;
  {
    const std::lock_guard lock(ocrMutex_);
    options = ocrVisionExtra_;
  }
  ocr::VisionOcr recognizer;
  recognizer.initOcr(options);
  return recognizer.ocr(image);
}

std::string AutoApi::requestPhotoAuthorization(const std::string&) {
  platform::PhotoAlbum::requestAuthorization([](int status) {
    if (status == 3) {
      platform::logOut("Permission ok");
    } else if (status >= 0 && status <= 2) {
      platform::logOut("Permission denied or not determined");
    } else {
      platform::logOut("Unknown authorization status " + std::to_string(status));
    }
  });
  return "ok";
}

std::string AutoApi::deleteAllPhotos(const std::string&) {
  return device::ImageSaver::deleteAllPhotos("1") ? "ok" : "";
}

std::string AutoApi::deleteAllVideos(const std::string&) {
  return device::ImageSaver::deleteAllPhotos("2") ? "ok" : "";
}

std::string AutoApi::saveImageToAlbumPath(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return device::ImageSaver::saveImageToAlbumPath(s->imageId.value_or("")) ? "ok" : "";
}

std::string AutoApi::saveVideoToAlbumPath(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  return device::ImageSaver::saveVideoToAlbumPath(s->imageId.value_or("")) ? "ok" : "";
}

namespace {

// Writes the bytes to a staging file in the documents directory; its path, or "".
std::string staged(const std::optional<Bytes>& data, const char* name) {
  if (!data) return {};
  const auto target = platform::Directories::documents() / name;
  std::error_code ignored;
  std::filesystem::remove_all(target, ignored);
  if (!files::FileUtils::writeFile(*data, target.string(), files::WriteOptions::atomic)) return {};
  return target.string();
}

}  // namespace

std::string AutoApi::savImageToAlbumPathForData(const std::optional<Bytes>& data) {
  const std::string path = staged(data, "tmp.jpg");
  return !path.empty() && device::ImageSaver::saveImageToAlbumPath(path) ? "ok" : "";
}

std::string AutoApi::saveVideoToAlbumPathForData(const std::optional<Bytes>& data) {
  const std::string path = staged(data, "tmp.mp4");
  return !path.empty() && device::ImageSaver::saveVideoToAlbumPath(path) ? "ok" : "";
}

std::string AutoApi::playMp3(const std::string& json) {
  const auto parsed = StringUtil::parse(json);
  if (!parsed) return {};
  const std::string path = StringUtil::getJSONStringData("path", *parsed);
  const std::string loop = StringUtil::getJSONStringData("loop", *parsed);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    platform::logOut("file not exist  " + path);
    return {};
  }
  return playMp3Ins_.playMp3(path, loop == "1") ? "ok" : "";
}

std::string AutoApi::stopMp3() {
  playMp3Ins_.stopMp3();
  return "ok";
}

std::string AutoApi::setClipboardText(const std::string& text, const std::string& kind) {
  if (kind == "1") {
    platform::Clipboard::setText(text);
    return "ok";
  }
  if (kind == "2") {
    platform::Clipboard::setUrl(platform::UrlQuery::valid(text) ? std::optional<std::string>(text)
                                                                : std::nullopt);
    return "ok";
  }
  return {};
}

std::string AutoApi::getClipboardText() { return platform::Clipboard::text().value_or(""); }

std::string AutoApi::operateClipboard(const std::string& json) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(json);
  if (!s) return {};
  const std::string command = s->imageId.value_or("");
  if (command == "1") return getClipboardText();
  if (command == "2") {
    platform::Clipboard::setText(s->firstColor.value_or(""));
    return "ok";
  }
  return {};
}

std::string AutoApi::openUrl(const std::string& url) {
  if (url.empty() || !platform::UrlQuery::valid(url)) return {};
  platform::UrlOpener::open(url);
  return "ok";
}

std::string AutoApi::setDocument(const std::string& threadId, const std::string& doc) {
  return nodeManager_.withManager(
      threadId, [&](node::NodeManager& m) { return m.parse(doc) ? "ok" : "error"; });
}

std::string AutoApi::setCacheDocument(const std::string& threadId, const std::string& r) {
  nodeManager_.withManager(threadId, [&](node::NodeManager& m) {
    if (r == "true") {
      m.lockNode();
    } else {
      m.releaseNode();
    }
  });
  return "ok";
}

bool AutoApi::hasDocument(const std::string& threadId) {
  return nodeManager_.withManager(threadId, [](node::NodeManager& m) { return m.hasDocument(); });
}

bool AutoApi::isCacheDocument(const std::string& threadId) {
  return nodeManager_.withManager(threadId,
                                  [](node::NodeManager& m) { return m.isCacheDocument(); });
}

std::string AutoApi::getOneNodeInfo(const std::string& threadId, const std::string& select) {
  return nodeManager_.withManager(threadId,
                                  [&](node::NodeManager& m) { return m.getOneNodeInfo(select); });
}

std::string AutoApi::getNodeInfo(const std::string& threadId, const std::string& select) {
  return nodeManager_.withManager(threadId,
                                  [&](node::NodeManager& m) { return m.getNodeInfo(select); });
}

std::string AutoApi::getOneNodeInfoForNode(const std::string& threadId,
                                           const std::optional<std::string>& nid,
                                           const std::string& select) {
  if (!nid) return {};
  return nodeManager_.withManager(
      threadId, [&](node::NodeManager& m) { return m.getOneNodeInfoForNode(*nid, select); });
}

std::string AutoApi::getNodeInfoForNode(const std::string& threadId,
                                        const std::optional<std::string>& nid,
                                        const std::string& select) {
  if (!nid) return {};
  return nodeManager_.withManager(
      threadId, [&](node::NodeManager& m) { return m.getNodeInfoForNode(*nid, select); });
}

std::string AutoApi::getNodeInfoParent(const std::string& threadId,
                                       const std::optional<std::string>& nid) {
  if (!nid) return {};
  return nodeManager_.withManager(threadId,
                                  [&](node::NodeManager& m) { return m.getNodeInfoParent(*nid); });
}

std::string AutoApi::getNodeInfoAllChildren(const std::string& threadId,
                                            const std::optional<std::string>& nid) {
  if (!nid) return {};
  return nodeManager_.withManager(
      threadId, [&](node::NodeManager& m) { return m.getNodeInfoAllChildren(*nid); });
}

std::string AutoApi::getNodeInfoChild(const std::string& threadId,
                                      const std::optional<std::string>& nid,
                                      const std::optional<std::string>& index) {
  if (!nid) return {};
  std::int64_t at = 0;
  if (index) {
    // An index that is no decimal integer names no child.
    const auto parsed = platform::parseDecimal(*index);
    if (!parsed) return {};
    at = *parsed;
  }
  return nodeManager_.withManager(
      threadId, [&](node::NodeManager& m) { return m.getNodeInfoChild(*nid, at); });
}

std::string AutoApi::getPreviousSiblingNodeInfo(const std::string& threadId,
                                                const std::optional<std::string>& nid) {
  if (!nid) return {};
  return nodeManager_.withManager(
      threadId, [&](node::NodeManager& m) { return m.getPreviousSiblingNodeInfo(*nid); });
}

std::string AutoApi::getNextSiblingNodeInfo(const std::string& threadId,
                                            const std::optional<std::string>& nid) {
  if (!nid) return {};
  return nodeManager_.withManager(
      threadId, [&](node::NodeManager& m) { return m.getNextSiblingNodeInfo(*nid); });
}

std::string AutoApi::getSiblingNodeInfo(const std::string& threadId,
                                        const std::optional<std::string>& nid) {
  if (!nid) return {};
  return nodeManager_.withManager(threadId,
                                  [&](node::NodeManager& m) { return m.getSiblingNodeInfo(*nid); });
}

}  // namespace vistrel::api
