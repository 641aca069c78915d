#include "vistrel/native/FindColorMatBridge.h"

#include <opencv2/imgproc.hpp>

#include "vistrel/native/Matmap.h"
#include "vistrel/platform/Console.h"

namespace vistrel::native {

MatHandlePtr FindColorMatBridge::handleFor(const cv::Mat& mat) {
  if (mat.empty() || mat.cols < 1) return nullptr;
  const std::string id = addMat(mat);
  if (id.empty()) return nullptr;
  return std::make_shared<MatHandle>(id);
}

MatHandlePtr FindColorMatBridge::makeMat(const platform::ImagePtr& image) {
  if (!image) {
    platform::logOut("UIImageToMat image 1-null");
    return nullptr;
  }
  if (!image->bitmap()) {
    platform::logOut("UIImageToMat CGImage 2-null");
    return nullptr;
  }
  if (image->width() < 1 || image->height() < 1) return nullptr;
  const auto& bitmap = *image->bitmap();
  try {
    cv::Mat rgba(bitmap.height, bitmap.width, CV_8UC4);
    if (!image->readPremultiplied(bitmap.width, bitmap.height, rgba.data)) return nullptr;
    cv::Mat bgr;
    cv::cvtColor(rgba, bgr, cv::COLOR_RGBA2BGR);
    return handleFor(bgr);
  } catch (const cv::Exception&) {
    return nullptr;
  }
}

platform::ImagePtr FindColorMatBridge::matToUIImage(const cv::Mat& mat) {
  if (mat.empty() || mat.depth() != CV_8U) return nullptr;
  try {
    cv::Mat rgba;
    switch (mat.channels()) {
      case 1:
        cv::cvtColor(mat, rgba, cv::COLOR_GRAY2RGBA);
        break;
      case 3:
        cv::cvtColor(mat, rgba, cv::COLOR_RGB2RGBA);
        break;
      case 4:
        rgba = mat.isContinuous() ? mat : mat.clone();
        break;
      default:
        return nullptr;
    }
    if (!rgba.isContinuous()) rgba = rgba.clone();
    std::vector<std::uint8_t> bytes(rgba.data, rgba.data + rgba.total() * 4);
    return platform::PlatformImage::fromRgba(rgba.cols, rgba.rows, std::move(bytes));
  } catch (const cv::Exception&) {
    return nullptr;
  }
}

platform::ImagePtr FindColorMatBridge::matConvertUIImage(const std::string& id) {
  const cv::Mat mat = getMat(id);
  if (mat.empty()) return nullptr;
  if (mat.channels() == 1) return matToUIImage(mat);  // a gray result stays a gray image
  try {
    cv::Mat rgb;
    cv::cvtColor(mat, rgb, cv::COLOR_BGRA2RGB);  // conversion code 3: blue and red exchanged
    return matToUIImage(rgb);
  } catch (const cv::Exception&) {
    return nullptr;
  }
}

cv::Mat FindColorMatBridge::uiImageToMat(const platform::ImagePtr& image) {
  if (!image || !image->bitmap()) return {};
  const auto& bitmap = *image->bitmap();
  cv::Mat rgba(bitmap.height, bitmap.width, CV_8UC4);
  if (!image->readPremultiplied(bitmap.width, bitmap.height, rgba.data)) return {};
  // Alpha not kept: drawn over an opaque surface.
  std::vector<cv::Mat> planes;
  cv::split(rgba, planes);
  planes[3].setTo(255);
  cv::merge(planes, rgba);
  return rgba;
}

MatHandlePtr FindColorMatBridge::clipMat(const std::string& id, int x, int y, int w, int h) {
  const cv::Mat mat = getMat(id);
  if (mat.empty()) return nullptr;
  return handleFor(engine_.clipMat(mat, x, y, w, h));
}

int FindColorMatBridge::cmpColor(const std::string& id, const std::string& colour, float threshold,
                                 int x, int y, int w, int h) {
  if (colour.empty()) return -1;
  return engine_.cmpColor(getMat(id), colour, threshold, x, y, w, h);
}

int FindColorMatBridge::cmpMultiColor(const std::string& id, const std::string& points,
                                      float threshold, int x, int y, int w, int h) {
  if (points.empty()) return -1;
  return engine_.cmpMultiColor(getMat(id), points, threshold, x, y, w, h);
}

std::string FindColorMatBridge::findColor(const std::string& id, const std::string& colour,
                                          float threshold, int x, int y, int w, int h, int limit,
                                          int orz) {
  if (colour.empty()) return {};
  return engine_.findColor(getMat(id), colour, threshold, x, y, w, h, limit, orz, true);
}

std::string FindColorMatBridge::findNotColor(const std::string& id, const std::string& colour,
                                             float threshold, int x, int y, int w, int h, int limit,
                                             int orz) {
  if (colour.empty()) return {};
  return engine_.findColor(getMat(id), colour, threshold, x, y, w, h, limit, orz, false);
}

std::string FindColorMatBridge::findMultiColor(const std::string& id, const std::string& firstColor,
                                               const std::string& points, float threshold, int x,
                                               int y, int w, int h, int limit, int orz) {
  if (firstColor.empty() || points.empty()) return {};
  return engine_.findMultiColor(getMat(id), firstColor, points, threshold, x, y, w, h, limit, orz);
}

std::string FindColorMatBridge::findImageColor(const std::string& id, const std::string& templateId,
                                               float threshold, int x, int y, int w, int h,
                                               int limit) {
  const cv::Mat tmpl = getMat(templateId);
  if (tmpl.empty()) return {};
  return engine_.findImageByColor(getMat(id), tmpl, threshold, x, y, w, h, limit);
}

std::string FindColorMatBridge::findImageColorEx(
    const std::string& id, const std::string& templateId, int x, int y, int w, int h, int limit,
    const std::string& firstColorOffset, float firstColorThreshold,
    const std::string& otherColorOffset, float otherColorThreshold, float cmpColorSucThreshold,
    int startX, int startY) {
  const cv::Mat tmpl = getMat(templateId);
  if (tmpl.empty()) return {};
  return engine_.findImageByColorEx(getMat(id), tmpl, x, y, w, h, limit, firstColorOffset,
                                    firstColorThreshold, otherColorOffset, otherColorThreshold,
                                    cmpColorSucThreshold, startX, startY);
}

std::string FindColorMatBridge::findImageMat(const std::string& id, const std::string& templateId,
                                             int x, int y, int w, int h, int limit,
                                             float weakThreshold, float threshold, int method) {
  const cv::Mat image = getMat(id), tmpl = getMat(templateId);
  if (image.empty() || tmpl.empty()) return {};
  return engine_.findImage(image, tmpl, method, weakThreshold, threshold, limit, x, y, w, h);
}

std::string FindColorMatBridge::templateFindMat(const std::string& id,
                                                const std::string& templateId, int x, int y, int w,
                                                int h, int limit, float weakThreshold,
                                                float threshold, int maxLevel, int method) {
  const cv::Mat image = getMat(id), tmpl = getMat(templateId);
  if (image.empty() || tmpl.empty()) return {};
  return engine_.templateMatching(image, tmpl, method, weakThreshold, threshold, maxLevel, limit, x,
                                  y, w, h);
}

MatHandlePtr FindColorMatBridge::binaryzationEx(const std::string& id, int diameter,
                                                int adaptiveMethod, int blockSize, int c,
                                                int thresholdType, int maxValue) {
  const cv::Mat mat = getMat(id);
  if (mat.empty()) return nullptr;
  return handleFor(
      engine_.binaryzationEx(mat, diameter, adaptiveMethod, blockSize, c, thresholdType, maxValue));
}

MatHandlePtr FindColorMatBridge::grayImage(const std::string& id) {
  const cv::Mat mat = getMat(id);
  if (mat.empty()) return nullptr;
  return handleFor(engine_.grayImage(mat));
}

platform::ImagePtr FindColorMatBridge::grayUIImageEx(const platform::ImagePtr& image) {
  const cv::Mat mat = uiImageToMat(image);
  if (mat.empty()) return nullptr;
  return matToUIImage(engine_.grayImage(mat));
}

platform::ImagePtr FindColorMatBridge::binaryzationUIImageEx(const platform::ImagePtr& image,
                                                             int diameter, int adaptiveMethod,
                                                             int blockSize, int c,
                                                             int thresholdType, int maxValue) {
  const cv::Mat mat = uiImageToMat(image);
  if (mat.empty()) return nullptr;
  return matToUIImage(
      engine_.binaryzationEx(mat, diameter, adaptiveMethod, blockSize, c, thresholdType, maxValue));
}

}  // namespace vistrel::native
