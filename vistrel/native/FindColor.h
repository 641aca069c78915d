#pragma once

#include <opencv2/core.hpp>
#include <string>
#include <vector>

namespace vistrel::native {

/// The native single-colour search.
class FindColor {
 public:
  void setDebug(bool on) { debug_ = on; }

  /// Every element of the rectangle (the whole matrix when w or h is below 1 or x or y below 0)
  /// whose test against an alternative of `firstColor` equals `same`, in scan order `orz`, until
  /// `limit` hits (below 1: no limit). [{"index","x","y"}, ...], "null" without hits, "" on an
  /// unusable request.
  std::string findColor(const cv::Mat& mat, const std::string& firstColor, float threshold, int x,
                        int y, int w, int h, int limit, int orz, bool same) const;
  /// Flat x, y, index of the hits in the matrix (x and y ignored: coordinates are the matrix's).
  std::vector<int> findColorInt(const cv::Mat& mat, const std::vector<int>& colours,
                                float threshold, int x, int y, int limit, int orz, bool same) const;

 private:
  bool debug_ = false;
};

}  // namespace vistrel::native
