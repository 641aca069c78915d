#pragma once

#include <opencv2/core.hpp>
#include <optional>
#include <string>
#include <vector>

namespace vistrel::native {

/// The native multi-colour search and the comparisons at points.
class FindMultiColor {
 public:
  void setDebug(bool on) { debug_ = on; }

  /// 0 when every group of the list (a text not starting with "[" is one group) holds, else -1.
  int cmpColor(const cv::Mat& mat, const std::string& points, float threshold) const;
  /// The index among the string elements of the first group that holds, or -1.
  int cmpMultiColor(const cv::Mat& mat, const std::string& points, float threshold) const;
  /// Whether every point of one group text matches.
  bool cmpMultiColor0(const cv::Mat& mat, const std::string& points, float threshold) const;
  /// Elements of the rectangle matching the first colour whose offset points (anywhere in the
  /// matrix) all match, in scan order, until `limit` hits (at least one). [{"x","y"},...], "null"
  /// without hits, "" for no points or an unusable request.
  std::string findMultiColor(const cv::Mat& mat, const std::string& firstColor,
                             const std::string& points, float threshold, int x, int y, int w, int h,
                             int limit, int orz, bool same) const;

 private:
  // The group texts of a list: non-string elements skipped; absent when it is no JSON array.
  std::optional<std::vector<std::string>> groups(const std::string& points) const;
  bool debug_ = false;
};

}  // namespace vistrel::native
