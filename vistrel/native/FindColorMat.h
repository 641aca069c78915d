#pragma once

#include <opencv2/core.hpp>
#include <string>

#include "vistrel/native/FindColor.h"
#include "vistrel/native/FindImageByColor.h"
#include "vistrel/native/FindMultiColor.h"
#include "vistrel/native/OpenCvMatchMat.h"

namespace vistrel::native {

/// The native engine's facade over matrices: checks the matrix, writes the log lines while
/// logging is on, and forwards to its workers.
class FindColorMat {
 public:
  void setLog(bool on);
  bool log() const { return log_; }

  int cmpColor(const cv::Mat& mat, const std::string& points, float threshold, int x, int y, int w,
               int h) const;
  int cmpMultiColor(const cv::Mat& mat, const std::string& points, float threshold, int x, int y,
                    int w, int h) const;
  std::string findColor(const cv::Mat& mat, const std::string& colour, float threshold, int x,
                        int y, int w, int h, int limit, int orz, bool same) const;
  std::string findMultiColor(const cv::Mat& mat, const std::string& firstColor,
                             const std::string& points, float threshold, int x, int y, int w, int h,
                             int limit, int orz) const;
  std::string findImageByColor(const cv::Mat& mat, const cv::Mat& tmpl, float threshold, int x,
                               int y, int w, int h, int limit) const;
  std::string findImageByColorEx(const cv::Mat& mat, const cv::Mat& tmpl, int x, int y, int w,
                                 int h, int limit, const std::string& firstColorOffset,
                                 float firstColorThreshold, const std::string& otherColorOffset,
                                 float otherColorThreshold, float cmpColorSucThreshold, int startX,
                                 int startY) const;
  std::string templateMatching(const cv::Mat& image, const cv::Mat& tmpl, int method,
                               float weakThreshold, float threshold, int maxLevel, int limit, int x,
                               int y, int w, int h) const {
    return matcher_.templateMatching(image, tmpl, method, weakThreshold, threshold, maxLevel, limit,
                                     x, y, w, h);
  }
  /// findImage0 with the level chosen automatically.
  std::string findImage(const cv::Mat& image, const cv::Mat& tmpl, int method, float weakThreshold,
                        float threshold, int limit, int x, int y, int w, int h) const {
    return matcher_.findImage0(image, tmpl, method, weakThreshold, threshold, -1, limit, x, y, w,
                               h);
  }
  cv::Mat grayImage(const cv::Mat& m) const { return OpenCvMatchMat::grayImage(m); }
  cv::Mat binaryzationEx(const cv::Mat& m, int diameter, int adaptiveMethod, int blockSize, int c,
                         int thresholdType, int maxValue) const {
    return OpenCvMatchMat::binaryzationEx(m, diameter, adaptiveMethod, blockSize, c, thresholdType,
                                          maxValue);
  }

  /// A view of the region: w and h lowered to the matrix's size; empty when either is below 1.
  cv::Mat clipMat(const cv::Mat& mat, int x, int y, int w, int h) const;

 private:
  // The matrix as the colour workers read it, or empty after writing the no-matrix message.
  cv::Mat checked(const cv::Mat& mat, const char* member) const;
  template <typename Work>
  auto timed(const cv::Mat& mat, const char* member, Work&& work) const;

  bool log_ = false;
  FindMultiColor findMultiColor_;
  FindColor findColor_;
  FindImageByColor findImageByColor_;
  OpenCvMatchMat matcher_;
};

}  // namespace vistrel::native
