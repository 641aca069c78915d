#include "vistrel/native/FindColor.h"

#include "vistrel/native/internal/BgrScan.h"
#include "vistrel/native/internal/NativeLog.h"

namespace vistrel::native {

using internal::logLine;

std::string FindColor::findColor(const cv::Mat& mat, const std::string& firstColor, float threshold,
                                 int x, int y, int w, int h, int limit, int orz, bool same) const {
  try {
    if (debug_) {
      logLine("ncnn findColor param firstColor= %s", firstColor.c_str());
      logLine("ncnn findColor param threshold= %f  limit=%d  orz=%d same=%d", double{threshold},
              limit, orz, same);
      logLine("ncnn findColor param x,y,w,h=%d,%d,%d,%d", x, y, w, h);
    }
    if (firstColor.empty()) return {};
    std::vector<int> colours;
    for (const auto& part : internal::s_split(firstColor, ",")) {
      const auto pair = internal::splitColorParamString(part);
      colours.insert(colours.end(), pair.begin(), pair.end());
    }
    if (colours.empty()) return {};
    cv::Mat searched = mat;
    int ox = 0, oy = 0;
    if (!(h < 1 || w < 1 || x < 0 || y < 0)) {
      searched = mat(cv::Rect(x, y, std::min(mat.cols, w), std::min(mat.rows, h)));
      ox = x;
      oy = y;
    }
    auto hits = findColorInt(searched, colours, threshold, x, y, limit, orz, same);
    for (std::size_t i = 0; i < hits.size(); i += 3) {
      hits[i] += ox;
      hits[i + 1] += oy;
    }
    if (debug_) logLine("ncnn findColor findResult size %d", static_cast<int>(hits.size() / 3));
    return internal::resultText(hits, true);
  } catch (const std::exception&) {
    logLine("findColor catch exception...");
    return {};
  }
}

std::vector<int> FindColor::findColorInt(const cv::Mat& mat, const std::vector<int>& colours,
                                         float threshold, int, int, int limit, int orz,
                                         bool same) const {
  std::vector<int> hits;
  try {
    if (mat.empty()) return hits;
    if (debug_) logLine("ncnn findColorInt image width:%d height:%d ", mat.cols, mat.rows);
    if (orz < 1 || orz > 8) return hits;
    std::vector<internal::NativeColorTest> tests;
    for (std::size_t i = 0; i + 1 < colours.size(); i += 2) {
      tests.push_back(internal::colourTest(colours[i], colours[i + 1], threshold));
    }
    const int n = mat.channels();
    const auto consider = [&](int x, int y) {
      const std::uint8_t* element = mat.ptr<std::uint8_t>(y) + static_cast<std::ptrdiff_t>(x) * n;
      for (std::size_t k = 0; k < tests.size(); ++k) {
        if (tests[k].matches(element) != same) continue;
        hits.insert(hits.end(), {x, y, static_cast<int>(k)});
        if (limit >= 1 && static_cast<int>(hits.size() / 3) >= limit) return true;
      }
      return false;
    };
    const colour::internal::Rect whole{0, 0, mat.cols, mat.rows};
    if (same) {
      internal::scanMatCandidates(mat, whole, orz, internal::BgrFilter(tests, n), consider);
    } else {
      // Reporting the elements that differ: nearly every element is a hit, so walk them all.
      colour::internal::forEachInOrder(orz, whole, consider);
    }
  } catch (const std::exception&) {
    logLine("findColorInt catch exception...");
    hits.clear();
  }
  return hits;
}

}  // namespace vistrel::native
