#include "vistrel/api/ImageFinderProcessor.h"

#include "vistrel/api/StringUtil.h"
#include "vistrel/image/ImageManager.h"

namespace vistrel::api {
namespace {

using image::ImageManager;
using image::isMatId;

std::shared_ptr<image::AutoImage> pixelLookup(const std::string& id) {
  auto record = ImageManager::sharedInstance().autoImage(id);
  return record && record->uiimage() ? record : nullptr;
}

}  // namespace

std::string ImageFinderProcessor::findColor(const std::string& imageId,
                                            const std::string& firstColor, float threshold,
                                            std::int64_t x, std::int64_t y, std::int64_t w,
                                            std::int64_t h, std::int64_t limit, std::int64_t orz) {
  if (isMatId(imageId)) {
    return findColorMat_.findColor(imageId, firstColor, threshold, x, y, w, h, limit, orz);
  }
  const auto image = pixelLookup(imageId);
  if (!image) return {};
  const auto r = image::AutoImage::checkXYWHAutoImage(x, y, w, h, *image);
  return colorMultiFinder_.findColor(*image, firstColor, threshold, r.x, r.y, r.w, r.h, limit, orz);
}

std::string ImageFinderProcessor::findNotColor(const std::string& imageId,
                                               const std::string& firstColor, float threshold,
                                               std::int64_t x, std::int64_t y, std::int64_t w,
                                               std::int64_t h, std::int64_t limit, std::int64_t orz,
                                               bool same, bool allNotEquals) {
  if (isMatId(imageId)) {
    return findColorMat_.findNotColor(imageId, firstColor, threshold, x, y, w, h, limit, orz);
  }
  const auto image = pixelLookup(imageId);
  if (!image) return {};
  const auto r = image::AutoImage::checkXYWHAutoImage(x, y, w, h, *image);
  return colorNotFinder_.findNotColor(*image, firstColor, threshold, r.x, r.y, r.w, r.h, limit, orz,
                                      same, allNotEquals);
}

std::string ImageFinderProcessor::findMultiColor(const std::string& imageId,
                                                 const std::string& firstColor,
                                                 const std::string& points, float threshold,
                                                 std::int64_t x, std::int64_t y, std::int64_t w,
                                                 std::int64_t h, std::int64_t limit,
                                                 std::int64_t orz) {
  if (isMatId(imageId)) {
    return findColorMat_.findMultiColor(imageId, firstColor, points, threshold, x, y, w, h, limit,
                                        orz);
  }
  const auto image = pixelLookup(imageId);
  if (!image) return {};
  const auto r = image::AutoImage::checkXYWHAutoImage(x, y, w, h, *image);
  return colorMultiFinder_.findMultiColor(*image, firstColor, points, threshold, r.x, r.y, r.w, r.h,
                                          limit, orz);
}

std::int64_t ImageFinderProcessor::cmpColor(const std::string& imageId, float threshold,
                                            std::int64_t x, std::int64_t y, std::int64_t w,
                                            std::int64_t h, const std::string& points) {
  if (imageId.empty() || points.empty()) return -1;
  if (isMatId(imageId)) {
    return StringUtil::textToInt(findColorMat_.cmpColor(imageId, points, threshold, x, y, w, h));
  }
  if (points.starts_with('[')) return cmpMultiColor(imageId, points, threshold, x, y, w, h);
  // A single group is wrapped as it stands: a double quote inside makes the list undecodable.
  return cmpMultiColor(imageId, "[\"" + points + "\"]", threshold, x, y, w, h);
}

std::int64_t ImageFinderProcessor::cmpMultiColor(const std::string& imageId,
                                                 const std::string& points, float threshold,
                                                 std::int64_t x, std::int64_t y, std::int64_t w,
                                                 std::int64_t h) {
  if (imageId.empty()) return -1;
  if (isMatId(imageId)) {
    return StringUtil::textToInt(
        findColorMat_.cmpMultiColor(imageId, points, threshold, x, y, w, h));
  }
  const auto image = pixelLookup(imageId);
  if (!image) return -1;
  // The comparison tests absolute point positions over the whole image: the region is not used.
  return colorFinder_.cmpMultiColor(*image, points, threshold);
}

std::string ImageFinderProcessor::findImageByColor(const std::string& imageId,
                                                   const std::string& templateId, std::int64_t x,
                                                   std::int64_t y, std::int64_t w, std::int64_t h,
                                                   float threshold, std::int64_t limit) {
  if (isMatId(imageId) && isMatId(templateId)) {
    return findColorMat_.findImageByColor(imageId, templateId, x, y, w, h, threshold, limit);
  }
  const auto image = pixelLookup(imageId);
  if (!image) return {};
  const auto small = pixelLookup(templateId);
  if (!small) return {};
  const auto r = image::AutoImage::checkXYWHAutoImage(x, y, w, h, *image);
  return colorImageFinder_.findImageByColor(*image, *small, threshold, r.x, r.y, r.w, r.h, limit);
}

std::string ImageFinderProcessor::findImageByColorEx(
    const std::string& imageId, const std::string& templateId, std::int64_t x, std::int64_t y,
    std::int64_t w, std::int64_t h, std::int64_t limit, const std::string& firstColorOffset,
    float firstColorThreshold, const std::string& otherColorOffset, float otherColorThreshold,
    float cmpColorSucThreshold, std::int64_t startRangeX, std::int64_t startRangeY,
    const std::string& extra) {
  if (isMatId(imageId) && isMatId(templateId)) {
    return findColorMat_.findImageByColorEx(imageId, templateId, x, y, w, h, limit, extra);
  }
  const auto image = pixelLookup(imageId);
  if (!image) return {};
  const auto small = pixelLookup(templateId);
  if (!small) return {};
  const auto r = image::AutoImage::checkXYWHAutoImage(x, y, w, h, *image);
  return colorImageFinder_.findImageByColorEx(
      *image, *small, r.x, r.y, r.w, r.h, limit, firstColorOffset, firstColorThreshold,
      otherColorOffset, otherColorThreshold, cmpColorSucThreshold, startRangeX, startRangeY);
}

namespace {

// Runs a matching on two temporary matrix copies, recycling both afterwards.
template <typename Match>
std::string onMatrices(const std::string& imageId, const std::string& templateId, Match&& match) {
  auto& registry = ImageManager::sharedInstance();
  const std::string image = registry.imageToMatFormat(imageId);
  const std::string tmpl = registry.imageToMatFormat(templateId);
  std::string result = match(image, tmpl);
  registry.recycleImage(image);
  registry.recycleImage(tmpl);
  return result;
}

}  // namespace

std::string ImageFinderProcessor::findImage(const std::string& imageId,
                                            const std::string& templateId, std::int64_t x,
                                            std::int64_t y, std::int64_t w, std::int64_t h,
                                            float weakThreshold, float threshold, std::int64_t,
                                            std::int64_t limit, std::int64_t method) {
  const auto run = [&](const std::string& image, const std::string& tmpl) {
    return findColorMat_.findImageMat(image, tmpl, x, y, w, h, weakThreshold, threshold, limit,
                                      method);
  };
  if (isMatId(imageId) && isMatId(templateId)) return run(imageId, templateId);
  return onMatrices(imageId, templateId, run);
}

std::string ImageFinderProcessor::matchTemplate(const std::string& imageId,
                                                const std::string& templateId, std::int64_t x,
                                                std::int64_t y, std::int64_t w, std::int64_t h,
                                                float weakThreshold, float threshold,
                                                std::int64_t maxLevel, std::int64_t limit,
                                                std::int64_t method) {
  const auto run = [&](const std::string& image, const std::string& tmpl) {
    return findColorMat_.matchTemplate(image, tmpl, x, y, w, h, maxLevel, weakThreshold, threshold,
                                       limit, method);
  };
  if (isMatId(imageId) && isMatId(templateId)) return run(imageId, templateId);
  return onMatrices(imageId, templateId, run);
}

std::string ImageFinderProcessor::binaryzationEx(const std::string& uuid, const std::string& json) {
  if (isMatId(uuid)) return findColorMat_.binaryzationMatEx(uuid, json);
  const auto image = ImageManager::sharedInstance().getUIImage(uuid);
  if (!image) return {};
  return ImageManager::sharedInstance().storeByMode(findColorMat_.binaryzationUIImage(image, json));
}

std::string ImageFinderProcessor::grayImage(const std::string& uuid, const std::string&) {
  if (isMatId(uuid)) return findColorMat_.grayImage(uuid);
  const auto image = ImageManager::sharedInstance().getUIImage(uuid);
  if (!image) return {};
  return ImageManager::sharedInstance().storeByMode(findColorMat_.grayUIImageEx(image));
}

std::string ImageFinderProcessor::setMatLog(std::int64_t flag) {
  findColorMat_.setLog(static_cast<std::int32_t>(flag));
  return "ok";
}

}  // namespace vistrel::api
