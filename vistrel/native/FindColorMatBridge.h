#pragma once

#include <opencv2/core.hpp>
#include <string>

#include "vistrel/native/FindColorMat.h"
#include "vistrel/native/MatHandle.h"
#include "vistrel/platform/PlatformImage.h"

namespace vistrel::native {

/// Takes store ids, looks the matrices up and calls the engine; the one place where platform
/// images become matrices and back.
class FindColorMatBridge {
 public:
  /// 1 turns the engine's log on, any other value off.
  void setLog(int flag) { engine_.setLog(flag == 1); }
  FindColorMat& engine() { return engine_; }

  /// The bitmap drawn premultiplied into RGBA at its pixel size, then converted to 3-channel BGR
  /// and stored; null for an absent image, no bitmap or an empty result.
  static MatHandlePtr makeMat(const platform::ImagePtr& image);
  /// A new platform image from the stored matrix (colour or gray); null when not stored.
  static platform::ImagePtr matConvertUIImage(const std::string& id);
  /// Platform image from a matrix: 1 channel gray, 3 channels RGB, 4 channels RGBA.
  static platform::ImagePtr matToUIImage(const cv::Mat& mat);
  /// Matrix from a platform image with alpha not kept: 4-channel RGBA (alpha 255).
  static cv::Mat uiImageToMat(const platform::ImagePtr& image);

  MatHandlePtr clipMat(const std::string& id, int x, int y, int w, int h);
  int cmpColor(const std::string& id, const std::string& colour, float threshold, int x, int y,
               int w, int h);
  int cmpMultiColor(const std::string& id, const std::string& points, float threshold, int x, int y,
                    int w, int h);
  std::string findColor(const std::string& id, const std::string& colour, float threshold, int x,
                        int y, int w, int h, int limit, int orz);
  std::string findNotColor(const std::string& id, const std::string& colour, float threshold, int x,
                           int y, int w, int h, int limit, int orz);
  std::string findMultiColor(const std::string& id, const std::string& firstColor,
                             const std::string& points, float threshold, int x, int y, int w, int h,
                             int limit, int orz);
  std::string findImageColor(const std::string& id, const std::string& templateId, float threshold,
                             int x, int y, int w, int h, int limit);
  std::string findImageColorEx(const std::string& id, const std::string& templateId, int x, int y,
                               int w, int h, int limit, const std::string& firstColorOffset,
                               float firstColorThreshold, const std::string& otherColorOffset,
                               float otherColorThreshold, float cmpColorSucThreshold, int startX,
                               int startY);

  std::string findImageMat(const std::string& id, const std::string& templateId, int x, int y,
                           int w, int h, int limit, float weakThreshold, float threshold,
                           int method);
  std::string templateFindMat(const std::string& id, const std::string& templateId, int x, int y,
                              int w, int h, int limit, float weakThreshold, float threshold,
                              int maxLevel, int method);
  MatHandlePtr binaryzationEx(const std::string& id, int diameter, int adaptiveMethod,
                              int blockSize, int c, int thresholdType, int maxValue);
  MatHandlePtr grayImage(const std::string& id);
  platform::ImagePtr grayUIImageEx(const platform::ImagePtr& image);
  platform::ImagePtr binaryzationUIImageEx(const platform::ImagePtr& image, int diameter,
                                           int adaptiveMethod, int blockSize, int c,
                                           int thresholdType, int maxValue);

  /// Stores a produced matrix; null for an empty one.
  static MatHandlePtr handleFor(const cv::Mat& mat);

 private:
  FindColorMat engine_;
};

}  // namespace vistrel::native
