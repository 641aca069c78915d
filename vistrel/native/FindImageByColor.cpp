#include "vistrel/native/FindImageByColor.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "vistrel/native/internal/BgrScan.h"
#include "vistrel/native/internal/NativeLog.h"

namespace vistrel::native {

using internal::logLine;

namespace {

int packed(const std::uint8_t* bgr) { return (bgr[2] << 16) | (bgr[1] << 8) | bgr[0]; }

// Three-channel matrices for the search: a 4-channel one keeps its colours, a 1-channel one is
// gray; any matrix that cannot be read as blue, green, red gives an empty one.
cv::Mat threeChannels(const cv::Mat& mat) {
  if (mat.depth() != CV_8U) return {};
  cv::Mat out;
  switch (mat.channels()) {
    case 3:
      return mat;
    case 4:
      cv::cvtColor(mat, out, cv::COLOR_BGRA2BGR);
      return out;
    case 1:
      cv::cvtColor(mat, out, cv::COLOR_GRAY2BGR);
      return out;
    default:
      return {};
  }
}

}  // namespace

ExtractedColors FindImageByColor::extractColors(const cv::Mat& tmpl, int offset) {
  ExtractedColors result;
  const int n = tmpl.channels();
  const auto at = [&](int x, int y) {
    return tmpl.ptr<std::uint8_t>(y) + static_cast<std::ptrdiff_t>(x) * n;
  };
  const int w = tmpl.cols, h = tmpl.rows;
  const int corners[] = {packed(at(0, 0)), packed(at(w - 1, 0)), packed(at(w - 1, h - 1)),
                         packed(at(0, h - 1))};
  const bool background =
      corners[0] == corners[1] && corners[0] == corners[2] && corners[0] == corners[3];
  bool haveFirst = false;
  int fx = 0, fy = 0;
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; ++c) {
      const int colour = packed(at(c, r));
      if (background && colour == corners[0]) continue;
      if (!haveFirst) {
        haveFirst = true;
        result.firstColor = colour;
        fx = c;
        fy = r;
        continue;
      }
      result.entries.insert(result.entries.end(), {c - fx, r - fy, colour, offset});
      ++result.cmpColorNum;
    }
  }
  return result;
}

std::string FindImageByColor::search(const cv::Mat& bigIn, const cv::Mat& tmplIn, int x, int y,
                                     int w, int h, int limit, int firstOffset, float firstThreshold,
                                     int otherOffset, float otherThreshold,
                                     const char* name) const {
  const cv::Mat big = threeChannels(bigIn), tmpl = threeChannels(tmplIn);
  if (big.empty() || tmpl.empty()) return {};
  cv::Mat searched = big;
  int ox = 0, oy = 0;
  if (!(h < 1 || w < 1 || y < 0 || x < 0)) {
    searched = big(cv::Rect(x, y, std::min(big.cols, w), std::min(big.rows, h)));
    ox = x;
    oy = y;
  }
  const auto start = std::chrono::steady_clock::now();
  const ExtractedColors pattern = extractColors(tmpl, otherOffset);
  std::vector<int> hits;
  if (pattern.cmpColorNum > 0) {
    struct Entry {
      int dx, dy;
      internal::NativeColorTest test;
    };
    // Every entry must match and lie inside, whatever the order in which they are tested: so
    // the pattern's bounding box is checked first, and the entries least like the first colour
    // are tested first, which rejects candidates on an area of the first colour at once.
    std::vector<Entry> entries;
    std::vector<int> distance;
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (std::size_t i = 0; i < pattern.entries.size(); i += 4) {
      const int dx = pattern.entries[i], dy = pattern.entries[i + 1], c = pattern.entries[i + 2];
      entries.push_back({dx, dy, internal::colourTest(c, pattern.entries[i + 3], otherThreshold)});
      int most = 0;
      for (int k = 0; k < 24; k += 8) {
        most = std::max(most, std::abs(((c >> k) & 0xFF) - ((pattern.firstColor >> k) & 0xFF)));
      }
      distance.push_back(most);
      minX = std::min(minX, dx), maxX = std::max(maxX, dx);
      minY = std::min(minY, dy), maxY = std::max(maxY, dy);
    }
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return distance[a] > distance[b]; });
    std::vector<Entry> sorted;
    for (const std::size_t i : order) sorted.push_back(entries[i]);
    entries = std::move(sorted);
    const std::vector<internal::NativeColorTest> first{
        internal::colourTest(pattern.firstColor, firstOffset, firstThreshold)};
    internal::scanMatCandidates(
        searched, {0, 0, searched.cols, searched.rows}, 2, internal::BgrFilter(first, 3),
        [&](int cx, int cy) {
          if (cx + minX < 0 || cy + minY < 0 || cx + maxX >= searched.cols ||
              cy + maxY >= searched.rows) {
            return false;
          }
          for (const auto& e : entries) {
            const long long px = static_cast<long long>(cx) + e.dx;
            const long long py = static_cast<long long>(cy) + e.dy;
            if (px < 0 || py < 0 || px >= searched.cols || py >= searched.rows ||
                !e.test.matches(searched.ptr<std::uint8_t>(static_cast<int>(py)) + px * 3)) {
              return false;
            }
          }
          hits.insert(hits.end(), {cx + ox, cy + oy});
          return static_cast<int>(hits.size() / 2) >= limit;
        });
  }
  if (debug_) {
    logLine("%s use time = %ld ms", name,
            static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count()));
  }
  return internal::resultText(hits, false);
}

std::string FindImageByColor::findImageByColor0(const cv::Mat& big, const cv::Mat& tmpl,
                                                float threshold, int x, int y, int w, int h,
                                                int limit) const {
  try {
    if (debug_) logLine("findImageByColor0_1 threshold=%f limit=%d", double{threshold}, limit);
    return search(big, tmpl, x, y, w, h, limit, 0, threshold, 0, threshold, "findImageByColor0_1");
  } catch (const std::exception&) {
    logLine("findImageByColor catch exception...");
    return {};
  }
}

std::string FindImageByColor::findImageByColorEx0(const cv::Mat& big, const cv::Mat& tmpl, int x,
                                                  int y, int w, int h, int limit,
                                                  const std::string& firstColorOffset,
                                                  float firstColorThreshold,
                                                  const std::string& otherColorOffset,
                                                  float otherColorThreshold,
                                                  float cmpColorSucThreshold, int, int) const {
  try {
    if (debug_) {
      logLine(
          "findImageByColorEx0_1 firstColorOffset=%s limit=%d firstColorThreshold=%f "
          "otherColorOffset=%s otherColorThreshold=%f cmpColorSucThreshold=%f",
          firstColorOffset.c_str(), limit, double{firstColorThreshold}, otherColorOffset.c_str(),
          double{otherColorThreshold}, double{cmpColorSucThreshold});
    }
    // An offset that is no colour text ends the search like any other unreadable colour.
    const int firstOffset = internal::parseColor(firstColorOffset);
    const int otherOffset = internal::parseColor(otherColorOffset);
    return search(big, tmpl, x, y, w, h, limit, firstOffset, firstColorThreshold, otherOffset,
                  otherColorThreshold, "findImageByColorEx0_1");
  } catch (const std::exception&) {
    logLine("findImageByColorEx catch exception...");
    return {};
  }
}

}  // namespace vistrel::native
