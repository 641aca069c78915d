#include "vistrel/native/FindColorMat.h"

#include <chrono>

#include "vistrel/native/internal/NativeLog.h"

namespace vistrel::native {

using internal::logLine;

void FindColorMat::setLog(bool on) {
  log_ = on;
  findMultiColor_.setDebug(on);
  findImageByColor_.setDebug(on);
  findColor_.setDebug(on);
  matcher_.setDebug(on);
}

cv::Mat FindColorMat::checked(const cv::Mat& mat, const char* member) const {
  const cv::Mat bgr = mat.empty() ? cv::Mat() : internal::asBgr(mat);
  if (bgr.empty()) {
    platform::logErr(std::string("ncnn FindColorMat::") + member + " mat_Addr no mat\n");
  }
  return bgr;
}

template <typename Work>
auto FindColorMat::timed(const cv::Mat& mat, const char* member, Work&& work) const {
  if (log_) logLine("FindColorMat::%s image cols %d ,rows:%d", member, mat.cols, mat.rows);
  const auto start = std::chrono::steady_clock::now();
  auto result = work();
  if (log_) {
    logLine("FindColorMat::%s use time %ld ms", member,
            static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count()));
  }
  return result;
}

int FindColorMat::cmpColor(const cv::Mat& mat, const std::string& points, float threshold, int, int,
                           int, int) const {
  const cv::Mat m = checked(mat, "cmpColor");
  if (m.empty()) return -1;
  return timed(m, "cmpColor", [&] { return findMultiColor_.cmpColor(m, points, threshold); });
}

int FindColorMat::cmpMultiColor(const cv::Mat& mat, const std::string& points, float threshold, int,
                                int, int, int) const {
  const cv::Mat m = checked(mat, "cmpMultiColor");
  if (m.empty()) return -1;
  return timed(m, "cmpMultiColor",
               [&] { return findMultiColor_.cmpMultiColor(m, points, threshold); });
}

std::string FindColorMat::findColor(const cv::Mat& mat, const std::string& colour, float threshold,
                                    int x, int y, int w, int h, int limit, int orz,
                                    bool same) const {
  const cv::Mat m = checked(mat, "findColor");
  if (m.empty()) return {};
  return timed(m, "findColor", [&] {
    return findColor_.findColor(m, colour, threshold, x, y, w, h, limit, orz, same);
  });
}

std::string FindColorMat::findMultiColor(const cv::Mat& mat, const std::string& firstColor,
                                         const std::string& points, float threshold, int x, int y,
                                         int w, int h, int limit, int orz) const {
  const cv::Mat m = checked(mat, "findMultiColor");
  if (m.empty()) return {};
  return timed(m, "findMultiColor", [&] {
    return findMultiColor_.findMultiColor(m, firstColor, points, threshold, x, y, w, h, limit, orz,
                                          true);
  });
}

std::string FindColorMat::findImageByColor(const cv::Mat& mat, const cv::Mat& tmpl, float threshold,
                                           int x, int y, int w, int h, int limit) const {
  if (mat.empty()) {
    platform::logErr("ncnn FindColorMat::findImageByColor mat_Addr no mat\n");
    return {};
  }
  return timed(mat, "findImageByColor", [&] {
    return findImageByColor_.findImageByColor0(mat, tmpl, threshold, x, y, w, h, limit);
  });
}

std::string FindColorMat::findImageByColorEx(const cv::Mat& mat, const cv::Mat& tmpl, int x, int y,
                                             int w, int h, int limit,
                                             const std::string& firstColorOffset,
                                             float firstColorThreshold,
                                             const std::string& otherColorOffset,
                                             float otherColorThreshold, float cmpColorSucThreshold,
                                             int startX, int startY) const {
  if (mat.empty()) {
    platform::logErr("ncnn FindColorMat::findImageByColorEx mat_Addr no mat\n");
    return {};
  }
  return timed(mat, "findImageByColorEx", [&] {
    return findImageByColor_.findImageByColorEx0(
        mat, tmpl, x, y, w, h, limit, firstColorOffset, firstColorThreshold, otherColorOffset,
        otherColorThreshold, cmpColorSucThreshold, startX, startY);
  });
}

cv::Mat FindColorMat::clipMat(const cv::Mat& mat, int x, int y, int w, int h) const {
  const int width = std::min(mat.cols, w), height = std::min(mat.rows, h);
  if (width < 1 || height < 1) return {};
  const int left = std::max(x, 0), top = std::max(y, 0);
  if (left + width > mat.cols || top + height > mat.rows) return {};
  return mat(cv::Rect(left, top, width, height));
}

}  // namespace vistrel::native
