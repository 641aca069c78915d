#pragma once

#include <opencv2/core.hpp>
#include <optional>
#include <string>
#include <vector>

namespace vistrel::native {

/// One match: the template window's top-left corner and its similarity.
struct CvMatchMat {
  int x = 0;
  int y = 0;
  float similarity = 0;
};

/// Pyramid template matching, gray conversion and adaptive binarization on matrices.
class OpenCvMatchMat {
 public:
  void setDebug(bool on) { debug_ = on; }

  /// Matches as [{"point":{"x","y"},"similarity"}]; "null" for none; "" for a template larger
  /// than the image or region, an unknown method or a matrix of two channels.
  std::string templateMatching(const cv::Mat& image, const cv::Mat& tmpl, int method,
                               float weakThreshold, float threshold, int maxLevel, int limit, int x,
                               int y, int w, int h) const;
  /// Matches as [{"bottom","left","right","similarity","top"}], level chosen automatically when
  /// maxLevel is -1; otherwise as templateMatching.
  std::string findImage0(const cv::Mat& image, const cv::Mat& tmpl, int method, float weakThreshold,
                         float threshold, int maxLevel, int limit, int x, int y, int w,
                         int h) const;

  /// Matches at the top pyramid level (one more attempt a level lower when the top is 3 or more
  /// and found nothing), in full-resolution coordinates, at or above the strict threshold.
  std::vector<CvMatchMat> fastTemplateMatching(const cv::Mat& image, const cv::Mat& tmpl,
                                               int method, float weakThreshold, float threshold,
                                               int maxLevel, int limit) const;
  /// The largest L in 0..6 with 16 x 2^L at most the smallest side of image and template.
  static int selectPyramidLevel(const cv::Mat& image, const cv::Mat& tmpl);
  /// Halved (rounding up) `level` times, resized straight from full resolution (bilinear).
  static cv::Mat getPyramidDownAtLevel(const cv::Mat& mat, int level);
  /// The score map; for the squared-difference methods (0 and 1) the similarity
  /// 1 - normalised squared difference, so that higher is better for every method.
  static cv::Mat matchTemplate(const cv::Mat& image, const cv::Mat& tmpl, int method);
  /// Appends up to `count` best positions with a score above 0 and at least `threshold`,
  /// blanking each match's neighbourhood so that the next one is a separate window.
  static void getBestMatched(cv::Mat& map, const cv::Mat& tmpl, float threshold,
                             std::vector<CvMatchMat>& list, int count);

  /// Gray: 1 channel copied, 3 channels BGR weights, 4 channels BGRA weights; empty otherwise.
  static cv::Mat grayImage(const cv::Mat& m);
  /// Bilateral smoothing of the gray image, then adaptive threshold. Empty when OpenCV rejects
  /// the options (even or small blockSize, unknown method or type).
  static cv::Mat binaryzationEx(const cv::Mat& m, int diameter, int adaptiveMethod, int blockSize,
                                int c, int thresholdType, int maxValue);

 private:
  // The shared steps of both entry points; empty optional for "".
  std::optional<std::vector<CvMatchMat>> search(const char* name, const cv::Mat& image,
                                                const cv::Mat& tmpl, int method,
                                                float weakThreshold, float threshold, int maxLevel,
                                                int limit, int& x, int& y, int w, int h) const;
  bool debug_ = false;
};

}  // namespace vistrel::native
