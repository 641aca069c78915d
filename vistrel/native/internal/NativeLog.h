#pragma once

#include <cstdarg>
#include <cstdio>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "vistrel/platform/Console.h"

namespace vistrel::native::internal {

/// One printf-style line on the native engine's stream (standard error).
[[gnu::format(printf, 1, 2)]] inline void logLine(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  platform::logErr(text);
}

/// A matrix whose elements start with blue, green, red: one-channel (gray) matrices become
/// three-channel ones, since reading three bytes of a one-channel element would read its
/// neighbours (and past the last row). Empty for any other depth or channel count.
inline cv::Mat asBgr(const cv::Mat& mat) {
  if (mat.depth() != CV_8U) return {};
  if (mat.channels() >= 3) return mat;
  if (mat.channels() != 1) return {};
  cv::Mat bgr;
  cv::cvtColor(mat, bgr, cv::COLOR_GRAY2BGR);
  return bgr;
}

/// [{"x":..,"y":..}] (or with "index" first when `withIndex`) of a flat result vector; "null"
/// without hits.
inline std::string resultText(const std::vector<int>& flat, bool withIndex) {
  const std::size_t stride = withIndex ? 3 : 2;
  if (flat.empty()) return "null";
  if (flat.size() % stride != 0) return {};
  std::string out = "[";
  for (std::size_t i = 0; i < flat.size(); i += stride) {
    out += i ? ",{" : "{";
    if (withIndex) out += "\"index\":" + std::to_string(flat[i + 2]) + ",";
    out += "\"x\":" + std::to_string(flat[i]) + ",\"y\":" + std::to_string(flat[i + 1]) + "}";
  }
  return out + "]";
}

}  // namespace vistrel::native::internal
