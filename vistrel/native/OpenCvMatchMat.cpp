#include "vistrel/native/OpenCvMatchMat.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <opencv2/imgproc.hpp>

#include "vistrel/native/internal/NativeLog.h"

namespace vistrel::native {

using internal::logLine;

namespace {

bool needConvert(const cv::Mat& m) { return m.channels() != 2 && m.channels() != 3; }

cv::Mat bgra2bgr(const cv::Mat& m) {
  cv::Mat out;
  cv::cvtColor(m, out, m.channels() == 1 ? cv::COLOR_GRAY2BGR : cv::COLOR_BGRA2BGR);
  return out;
}

}  // namespace

int OpenCvMatchMat::selectPyramidLevel(const cv::Mat& image, const cv::Mat& tmpl) {
  const int m = std::min({image.rows, image.cols, tmpl.rows, tmpl.cols});
  const int q = m / 16;
  if (q <= 0) return 0;
  const int level = static_cast<int>(std::log2(static_cast<double>(q)));
  return std::clamp(level, 0, 6);
}

cv::Mat OpenCvMatchMat::getPyramidDownAtLevel(const cv::Mat& mat, int level) {
  if (level <= 0) return mat;
  int rows = mat.rows, cols = mat.cols;
  for (int i = 0; i < level; ++i) {
    rows = (rows + 1) / 2;
    cols = (cols + 1) / 2;
  }
  cv::Mat out;
  cv::resize(mat, out, cv::Size(cols, rows), 0, 0, cv::INTER_LINEAR);
  return out;
}

cv::Mat OpenCvMatchMat::matchTemplate(const cv::Mat& image, const cv::Mat& tmpl, int method) {
  cv::Mat map;
  if (method == cv::TM_SQDIFF || method == cv::TM_SQDIFF_NORMED) {
    cv::matchTemplate(image, tmpl, map, cv::TM_SQDIFF_NORMED);
    map = 1.0 - map;  // similarity: higher is better, 1 for identical windows
    return map;
  }
  cv::matchTemplate(image, tmpl, map, method);
  return map;
}

void OpenCvMatchMat::getBestMatched(cv::Mat& map, const cv::Mat& tmpl, float threshold,
                                    std::vector<CvMatchMat>& list, int count) {
  for (int i = 0; i < count; ++i) {
    double maxValue = 0;
    cv::Point at;
    cv::minMaxLoc(map, nullptr, &maxValue, nullptr, &at);
    const auto score = static_cast<float>(maxValue);
    if (!(score >= threshold) || !(score > 0)) return;
    list.push_back({at.x, at.y, score});
    const int x0 = std::max(at.x - tmpl.cols + 1, 0), y0 = std::max(at.y - tmpl.rows + 1, 0);
    const int x1 = std::min(map.cols - 1, at.x + tmpl.cols);
    const int y1 = std::min(map.rows - 1, at.y + tmpl.rows);
    map(cv::Rect(x0, y0, x1 - x0 + 1, y1 - y0 + 1)).setTo(0);
  }
}

std::vector<CvMatchMat> OpenCvMatchMat::fastTemplateMatching(const cv::Mat& image,
                                                             const cv::Mat& tmpl, int method,
                                                             float weakThreshold, float threshold,
                                                             int maxLevel, int limit) const {
  const int count = limit > 1 ? limit : 1;
  const int top = maxLevel == -1 ? selectPyramidLevel(image, tmpl) : maxLevel;
  std::vector<CvMatchMat> result;
  if (top < 0) return result;
  for (int level = top; level >= 0; --level) {
    if (level != top && !(level == top - 1 && top > 2)) break;
    const cv::Mat reducedImage = getPyramidDownAtLevel(image, level);
    const cv::Mat reducedTmpl = getPyramidDownAtLevel(tmpl, level);
    if (reducedTmpl.cols > reducedImage.cols || reducedTmpl.rows > reducedImage.rows) break;
    cv::Mat map = matchTemplate(reducedImage, reducedTmpl, method);
    std::vector<CvMatchMat> collected;
    getBestMatched(map, reducedTmpl, weakThreshold, collected, count);
    if (!collected.empty()) {
      for (const auto& m : collected) {
        if (m.similarity >= threshold) result.push_back({m.x << level, m.y << level, m.similarity});
      }
      return result;
    }
  }
  return result;
}

std::optional<std::vector<CvMatchMat>> OpenCvMatchMat::search(const char* name,
                                                              const cv::Mat& imageIn,
                                                              const cv::Mat& tmplIn, int method,
                                                              float weakThreshold, float threshold,
                                                              int maxLevel, int limit, int& x,
                                                              int& y, int w, int h) const {
  if (debug_) {
    logLine("%s image width:%d height:%d", name, imageIn.cols, imageIn.rows);
    logLine("%s tmpl width:%d height:%d", name, tmplIn.cols, tmplIn.rows);
    logLine("%s matchMethod:%d weakThreshold:%lf strictThreshold:%lf", name, method,
            double{weakThreshold}, double{threshold});
    logLine("%s maxLevel:%d limit:%d", name, maxLevel, limit);
    logLine("%s x:%d y:%d w:%d h:%d", name, x, y, w, h);
  }
  if (imageIn.empty() || tmplIn.empty() || imageIn.cols < tmplIn.cols ||
      imageIn.rows < tmplIn.rows) {
    return std::nullopt;
  }
  // Two-channel matrices and unknown methods cannot be matched: a clear failure.
  if (imageIn.channels() == 2 || tmplIn.channels() == 2 || method < 0 || method > 5 ||
      imageIn.depth() != CV_8U || tmplIn.depth() != CV_8U) {
    return std::nullopt;
  }
  cv::Mat image = imageIn, tmpl = tmplIn;
  bool imageConverted = false, tmplConverted = false;
  if (image.channels() != tmpl.channels()) {
    if (needConvert(image)) image = bgra2bgr(image), imageConverted = true;
    if (needConvert(tmpl)) tmpl = bgra2bgr(tmpl), tmplConverted = true;
  }
  if (debug_) {
    logLine("%s bigNeedConvert channel %d %d", name, imageConverted, imageIn.channels());
    logLine("%s tempNeedConvert channel %d %d", name, tmplConverted, tmplIn.channels());
  }
  cv::Mat searched = image;
  if (w > 0 && h > 0 && x >= 0 && y >= 0) {
    const cv::Rect region(x, y, std::min(image.cols, w), std::min(image.rows, h));
    if ((region & cv::Rect(0, 0, image.cols, image.rows)) != region) return std::nullopt;
    searched = image(region);
    if (debug_)
      logLine("%s CROP IMAGE x:%d y:%d width:%d height:%d", name, x, y, searched.cols,
              searched.rows);
    if (searched.cols < tmpl.cols || searched.rows < tmpl.rows) return std::nullopt;
  } else {
    x = 0;
    y = 0;
  }
  return fastTemplateMatching(searched, tmpl, method, weakThreshold, threshold, maxLevel, limit);
}

std::string OpenCvMatchMat::templateMatching(const cv::Mat& image, const cv::Mat& tmpl, int method,
                                             float weakThreshold, float threshold, int maxLevel,
                                             int limit, int x, int y, int w, int h) const {
  try {
    const auto found = search("OpenCvMatch::templateMatching", image, tmpl, method, weakThreshold,
                              threshold, maxLevel, limit, x, y, w, h);
    if (!found) return {};
    nlohmann::json out;  // null until a match is appended
    for (const auto& m : *found) {
      if (!(m.similarity > 0)) continue;
      out.push_back(
          {{"point", {{"x", m.x + x}, {"y", m.y + y}}}, {"similarity", double{m.similarity}}});
    }
    return out.dump();
  } catch (const cv::Exception&) {
    logLine("templateMatching catch exception...");
    return {};
  }
}

std::string OpenCvMatchMat::findImage0(const cv::Mat& image, const cv::Mat& tmpl, int method,
                                       float weakThreshold, float threshold, int maxLevel,
                                       int limit, int x, int y, int w, int h) const {
  try {
    const auto found = search("OpenCvMatchMat::findImage0", image, tmpl, method, weakThreshold,
                              threshold, maxLevel, limit, x, y, w, h);
    if (!found) return {};
    nlohmann::json out;
    for (const auto& m : *found) {
      if (!(m.similarity > 0)) continue;
      const int left = m.x + x, top = m.y + y;
      out.push_back({{"bottom", top + tmpl.rows},
                     {"left", left},
                     {"right", left + tmpl.cols},
                     {"similarity", double{m.similarity}},
                     {"top", top}});
    }
    return out.dump();
  } catch (const cv::Exception&) {
    logLine("findImage0 catch exception...");
    return {};
  }
}

cv::Mat OpenCvMatchMat::grayImage(const cv::Mat& m) {
  if (m.empty() || m.depth() != CV_8U) return {};
  cv::Mat gray;
  switch (m.channels()) {
    case 1:
      return m.clone();
    case 3:
      cv::cvtColor(m, gray, cv::COLOR_BGR2GRAY);
      return gray;
    case 4:
      cv::cvtColor(m, gray, cv::COLOR_BGRA2GRAY);
      return gray;
    default:
      return {};
  }
}

cv::Mat OpenCvMatchMat::binaryzationEx(const cv::Mat& m, int diameter, int adaptiveMethod,
                                       int blockSize, int c, int thresholdType, int maxValue) {
  try {
    const cv::Mat gray = grayImage(m);
    if (gray.empty()) return {};
    cv::Mat smooth;
    cv::bilateralFilter(gray, smooth, diameter, 2.0 * diameter, diameter / 2,
                        cv::BORDER_REFLECT_101);
    cv::Mat out;
    cv::adaptiveThreshold(smooth, out, maxValue, adaptiveMethod, thresholdType, blockSize, c);
    return out;
  } catch (const cv::Exception&) {
    return {};
  }
}

}  // namespace vistrel::native
