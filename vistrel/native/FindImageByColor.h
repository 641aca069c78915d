#pragma once

#include <opencv2/core.hpp>
#include <string>
#include <vector>

namespace vistrel::native {

/// The pattern of a template: entries dx, dy, colour, offset (native packed colours).
struct ExtractedColors {
  std::vector<int> entries;
  int firstColor = -2;
  int firstColorOffset = 0;
  int cmpColorNum = 0;
};

/// The native search for a small image by colour sampling.
class FindImageByColor {
 public:
  void setDebug(bool on) { debug_ = on; }

  /// Positions of the template's first colour where every entry matches, row by row, until
  /// `limit` hits (at least one). [{"x","y"},...], "null" without hits, "" on an unusable request.
  std::string findImageByColor0(const cv::Mat& big, const cv::Mat& tmpl, float threshold, int x,
                                int y, int w, int h, int limit) const;
  /// As findImageByColor0 with its own offsets and thresholds for the first and the other colours;
  /// cmpColorSucThreshold does not relax the match (every entry must match). An offset text that
  /// is no colour answers "".
  std::string findImageByColorEx0(const cv::Mat& big, const cv::Mat& tmpl, int x, int y, int w,
                                  int h, int limit, const std::string& firstColorOffset,
                                  float firstColorThreshold, const std::string& otherColorOffset,
                                  float otherColorThreshold, float cmpColorSucThreshold, int startX,
                                  int startY) const;

  /// Row by row: the first element not of the uniform corner colour is the first colour, every
  /// later one an entry.
  static ExtractedColors extractColors(const cv::Mat& tmpl, int offset);

 private:
  std::string search(const cv::Mat& big, const cv::Mat& tmpl, int x, int y, int w, int h, int limit,
                     int firstOffset, float firstThreshold, int otherOffset, float otherThreshold,
                     const char* name) const;
  bool debug_ = false;
};

}  // namespace vistrel::native
