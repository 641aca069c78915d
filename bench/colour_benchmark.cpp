// The pixel colour engine on a 1170 x 2532 screenshot, beside the peers a C++ user would pick
// instead: OpenCV's inRange + findNonZero, and a plain per-pixel loop.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <opencv2/core.hpp>

#include <opencv2/imgcodecs.hpp>
#include "vistrel/colour/ColorImageFinder.h"
#include "vistrel/colour/ColorMultiFinder.h"
#include "vistrel/image/AutoImage.h"
#include "vistrel/native/FindColor.h"
#include "vistrel/native/FindImageByColor.h"
#include "vistrel/native/FindMultiColor.h"
#include "vistrel/platform/PlatformImage.h"

namespace {

using vistrel::image::AutoImage;
using vistrel::platform::PlatformImage;

AutoImage& screen() {
  static AutoImage image(PlatformImage::fromFile(VISTREL_EXAMPLES_DIR "/screen.png"));
  static const bool built = image.toArray2() != nullptr;
  if (!built) std::abort();
  return image;
}

AutoImage& icon() {
  static AutoImage image(PlatformImage::fromFile(VISTREL_EXAMPLES_DIR "/icon.png"));
  return image;
}

// Magenta is nowhere on the screen: every order scans all 2.96 million pixels.
constexpr const char* kAbsent = "FF00FF";
// Allowance of threshold 0.9.
constexpr int kAllowance = 26;

void BM_FindColorAbsent(benchmark::State& state) {
  const vistrel::colour::ColorMultiFinder finder;
  for (auto _ : state) {
    const auto found = finder.findColor(screen(), kAbsent, 0.9f, 0, 0, 0, 0, 10, state.range(0));
    if (!found.empty()) {
      state.SkipWithError("found an absent colour");
      break;
    }
  }
}
BENCHMARK(BM_FindColorAbsent)->DenseRange(1, 8)->ArgName("orz")->Unit(benchmark::kMicrosecond);

// Eight offset points around a first colour that is absent.
void BM_FindMultiColorAbsentFirst(benchmark::State& state) {
  const vistrel::colour::ColorMultiFinder finder;
  const char* points =
      "10|0|34C759,-10|0|34C759,0|10|34C759,0|-10|34C759,20|0|FFFFFF,-20|0|FFFFFF,0|20|FFFFFF,"
      "0|-20|FFFFFF";
  for (auto _ : state) {
    const auto found =
        finder.findMultiColor(screen(), kAbsent, points, 0.9f, 0, 0, 0, 0, 10, state.range(0));
    if (!found.empty()) {
      state.SkipWithError("found an absent colour");
      break;
    }
  }
}
BENCHMARK(BM_FindMultiColorAbsentFirst)
    ->Arg(2)
    ->Arg(1)
    ->ArgName("orz")
    ->Unit(benchmark::kMicrosecond);

// The first colour, the green of the switches, covers about 0.8% of the screen; the pattern's
// last point never matches, so every one of them is checked in full.
void BM_FindMultiColorCommonFirst(benchmark::State& state) {
  const vistrel::colour::ColorMultiFinder finder;
  const char* points =
      "1|0|34C759,-1|0|34C759,0|1|34C759,0|-1|34C759,2|0|34C759,-2|0|34C759,0|2|34C759,"
      "0|0|FF00FF";
  for (auto _ : state) {
    const auto found =
        finder.findMultiColor(screen(), "34C759", points, 0.9f, 0, 0, 0, 0, 10, state.range(0));
    if (!found.empty()) {
      state.SkipWithError("the pattern cannot match");
      break;
    }
  }
}
BENCHMARK(BM_FindMultiColorCommonFirst)
    ->Arg(2)
    ->Arg(1)
    ->ArgName("orz")
    ->Unit(benchmark::kMicrosecond);

void BM_FindImageByColor40(benchmark::State& state) {
  const vistrel::colour::ColorImageFinder finder;
  for (auto _ : state) {
    const auto found = finder.findImageByColor(screen(), icon(), 0.9f, 0, 0, 0, 0, 5);
    if (found != R"([{"x":94,"y":942,"index":0}])") {
      state.SkipWithError("icon not found where it is");
      break;
    }
  }
}
BENCHMARK(BM_FindImageByColor40)->Unit(benchmark::kMicrosecond);

// The native engine on the same screenshot as a 3-channel BGR matrix.
const cv::Mat& screenMat() {
  static const cv::Mat mat = cv::imread(VISTREL_EXAMPLES_DIR "/screen.png", cv::IMREAD_COLOR);
  return mat;
}

void BM_Native_FindColorAbsent(benchmark::State& state) {
  const vistrel::native::FindColor finder;
  for (auto _ : state) {
    const auto found = finder.findColor(screenMat(), kAbsent, 0.9f, 0, 0, 0, 0, 10,
                                        static_cast<int>(state.range(0)), true);
    if (found != "null") {
      state.SkipWithError("found an absent colour");
      break;
    }
  }
}
BENCHMARK(BM_Native_FindColorAbsent)->Arg(2)->Arg(1)->ArgName("orz")->Unit(benchmark::kMicrosecond);

void BM_Native_FindMultiColorAbsentFirst(benchmark::State& state) {
  const vistrel::native::FindMultiColor finder;
  const char* points =
      "10|0|34C759,-10|0|34C759,0|10|34C759,0|-10|34C759,20|0|FFFFFF,-20|0|FFFFFF,0|20|FFFFFF,"
      "0|-20|FFFFFF";
  for (auto _ : state) {
    const auto found = finder.findMultiColor(screenMat(), kAbsent, points, 0.9f, 0, 0, 0, 0, 10,
                                             static_cast<int>(state.range(0)), true);
    if (found != "null") {
      state.SkipWithError("found an absent colour");
      break;
    }
  }
}
BENCHMARK(BM_Native_FindMultiColorAbsentFirst)
    ->Arg(2)
    ->Arg(1)
    ->ArgName("orz")
    ->Unit(benchmark::kMicrosecond);

void BM_Native_FindImageByColor40(benchmark::State& state) {
  const vistrel::native::FindImageByColor finder;
  static const cv::Mat icon = cv::imread(VISTREL_EXAMPLES_DIR "/icon.png", cv::IMREAD_COLOR);
  // The native pattern starts at the template's first non-background element row by row: the top
  // of the ring, 13 columns right of and 13 rows above the pixel engine's column-by-column start.
  for (auto _ : state) {
    const auto found = finder.findImageByColor0(screenMat(), icon, 0.9f, 0, 0, 0, 0, 5);
    if (found != R"([{"x":107,"y":929}])") {
      state.SkipWithError("icon not found where it is");
      break;
    }
  }
}
BENCHMARK(BM_Native_FindImageByColor40)->Unit(benchmark::kMicrosecond);

// Peer: OpenCV's range test and the list of non-zero positions, for the same colour and allowance.
void BM_Peer_InRangeFindNonZero(benchmark::State& state) {
  const auto array = screen().toArray2();
  const cv::Mat rgba(array->height(), array->width(), CV_8UC4,
                     const_cast<std::uint32_t*>(array->data()));
  const cv::Scalar lower(255 - kAllowance, 0, 255 - kAllowance, 0);
  const cv::Scalar upper(255, kAllowance, 255, 255);
  cv::Mat mask;
  std::vector<cv::Point> points;
  for (auto _ : state) {
    cv::inRange(rgba, lower, upper, mask);
    cv::findNonZero(mask, points);
    if (!points.empty()) {
      state.SkipWithError("found an absent colour");
      break;
    }
  }
}
BENCHMARK(BM_Peer_InRangeFindNonZero)->Unit(benchmark::kMicrosecond);

// Peer: the plain per-pixel loop of the same test.
void BM_Peer_PlainLoop(benchmark::State& state) {
  const auto array = screen().toArray2();
  for (auto _ : state) {
    int found = 0;
    for (int y = 0; y < array->height() && found < 10; ++y) {
      const std::uint32_t* row = array->row(y);
      for (int x = 0; x < array->width(); ++x) {
        const std::uint32_t p = row[x];
        const int r = static_cast<int>(p & 0xFF), g = static_cast<int>((p >> 8) & 0xFF),
                  b = static_cast<int>((p >> 16) & 0xFF);
        if (std::abs(r - 255) <= kAllowance && g <= kAllowance && std::abs(b - 255) <= kAllowance) {
          ++found;
        }
      }
    }
    if (found != 0) {
      state.SkipWithError("found an absent colour");
      break;
    }
  }
}
BENCHMARK(BM_Peer_PlainLoop)->Unit(benchmark::kMicrosecond);

}  // namespace
