#include "vistrel/native/FindMultiColor.h"

#include <nlohmann/json.hpp>

#include "vistrel/native/internal/BgrScan.h"
#include "vistrel/native/internal/NativeLog.h"

namespace vistrel::native {

using internal::logLine;

namespace {

struct Point {
  int dx, dy;
  internal::NativeColorTest test;
};

std::vector<Point> points(const std::vector<int>& flat, float threshold) {
  std::vector<Point> out;
  for (std::size_t i = 0; i + 3 < flat.size(); i += 4) {
    out.push_back(
        {flat[i], flat[i + 1], internal::colourTest(flat[i + 2], flat[i + 3], threshold)});
  }
  return out;
}

bool pointHolds(const cv::Mat& mat, const Point& p, long long x, long long y) {
  if (x < 0 || y < 0 || x >= mat.cols || y >= mat.rows) return false;
  return p.test.matches(mat.ptr<std::uint8_t>(static_cast<int>(y)) + x * mat.channels());
}

}  // namespace

std::optional<std::vector<std::string>> FindMultiColor::groups(const std::string& points) const {
  const std::string list = internal::startsWith(points, "[") ? points : "[\"" + points + "\"]";
  const auto parsed = nlohmann::json::parse(list, nullptr, false);
  if (!parsed.is_array()) return std::nullopt;
  std::vector<std::string> out;
  for (const auto& e : parsed) {
    if (e.is_string()) out.push_back(e.get<std::string>());
  }
  return out;
}

bool FindMultiColor::cmpMultiColor0(const cv::Mat& mat, const std::string& group,
                                    float threshold) const {
  if (debug_) {
    logLine("ncnn cmpMultiColor0 param points= %s", group.c_str());
    logLine("ncnn cmpMultiColor0 param threshold= %f", double{threshold});
  }
  const auto flat = internal::parsePointsString(group);
  if (flat.empty()) {
    logLine("ncnn cmpMultiColor0 no cmp point and color ,return false");
    return false;
  }
  if (debug_)
    logLine("ncnn cmpMultiColor0 param cmp pointLength= %d", static_cast<int>(flat.size()));
  for (const auto& p : points(flat, threshold)) {
    if (!pointHolds(mat, p, p.dx, p.dy)) return false;
  }
  return true;
}

int FindMultiColor::cmpMultiColor(const cv::Mat& mat, const std::string& points,
                                  float threshold) const {
  try {
    if (debug_) {
      logLine("ncnn cmpMultiColor param points= %s", points.c_str());
      logLine("ncnn cmpMultiColor param threshold= %f", double{threshold});
    }
    const auto list = groups(points);
    if (!list) return -1;
    for (std::size_t n = 0; n < list->size(); ++n) {
      if (cmpMultiColor0(mat, (*list)[n], threshold)) {
        if (debug_)
          logLine("ncnn cmpMultiColor check index=%d data = %s", static_cast<int>(n),
                  (*list)[n].c_str());
        return static_cast<int>(n);
      }
    }
    return -1;
  } catch (const std::exception&) {
    logLine("cmpMultiColor catch exception...");
    return -1;
  }
}

int FindMultiColor::cmpColor(const cv::Mat& mat, const std::string& points, float threshold) const {
  try {
    if (debug_) {
      logLine("ncnn cmpColor param points= %s", points.c_str());
      logLine("ncnn cmpColor param threshold= %f", double{threshold});
    }
    const auto list = groups(points);
    if (!list) return -1;
    for (const auto& group : *list) {
      if (!cmpMultiColor0(mat, group, threshold)) {
        if (debug_) logLine("ncnn cmpColor not equal check index=%d data = %s", 0, group.c_str());
        return -1;
      }
    }
    return 0;
  } catch (const std::exception&) {
    logLine("cmpColor catch exception...");
    return -1;
  }
}

std::string FindMultiColor::findMultiColor(const cv::Mat& mat, const std::string& firstColor,
                                           const std::string& pointsText, float threshold, int x,
                                           int y, int w, int h, int limit, int orz,
                                           bool same) const {
  try {
    if (debug_) {
      logLine("ncnn findMultiColor param firstColor= %s", firstColor.c_str());
      logLine("ncnn findMultiColor param points= %s", pointsText.c_str());
      logLine("ncnn findMultiColor param threshold= %f  limit=%d  orz=%d same=%d",
              double{threshold}, limit, orz, same);
      logLine("ncnn findMultiColor param x,y,w,h=%d,%d,%d,%d", x, y, w, h);
    }
    const auto first = internal::splitColorParamString(firstColor);
    const auto flat = internal::parsePointsString(pointsText);
    if (flat.empty()) return {};
    const auto pattern = points(flat, threshold);
    std::vector<int> hits;
    if (!mat.empty() && orz >= 1 && orz <= 8) {
      if (debug_) logLine("ncnn findMultiColorInt image width:%d height:%d ", mat.cols, mat.rows);
      x = std::max(x, 0);
      y = std::max(y, 0);
      w = std::min(w, mat.cols);
      h = std::min(h, mat.rows);
      int x1 = std::min(mat.cols, x + w), y1 = std::min(mat.rows, y + h);
      if (x1 < 1) x1 = mat.cols;
      if (y1 < 1) y1 = mat.rows;
      const std::vector<internal::NativeColorTest> firstTest{
          internal::colourTest(first[0], first[1], threshold)};
      internal::scanMatCandidates(mat, {x, y, x1, y1}, orz,
                                  internal::BgrFilter(firstTest, mat.channels()),
                                  [&](int cx, int cy) {
                                    for (const auto& p : pattern) {
                                      if (!pointHolds(mat, p, static_cast<long long>(cx) + p.dx,
                                                      static_cast<long long>(cy) + p.dy)) {
                                        return false;
                                      }
                                    }
                                    hits.insert(hits.end(), {cx, cy});
                                    return static_cast<int>(hits.size() / 2) >= limit;
                                  });
    }
    if (debug_)
      logLine("ncnn findMultiColor findResult size %d", static_cast<int>(hits.size() / 2));
    return internal::resultText(hits, false);
  } catch (const std::exception&) {
    logLine("findMultiColor catch exception...");
    return {};
  }
}

}  // namespace vistrel::native
