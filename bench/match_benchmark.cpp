// Pyramid template matching of a 120 x 80 template on a 1170 x 2532 screenshot, beside the
// full-resolution search desktop automation tools run (matchTemplate + minMaxLoc); gray and
// adaptive binarization of the screenshot.

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "vistrel/api/AutoApi.h"
#include "vistrel/platform/PlatformImage.h"

namespace {

using vistrel::api::AutoApi;

// The template is the switch row of "Notifications": icon, label and switch.
constexpr int kX = 60, kY = 880, kW = 120, kH = 80;

struct Ids {
  std::string screen, tmpl, screenMat, tmplMat;
};

const Ids& ids() {
  static const Ids all = [] {
    auto& api = AutoApi::getInstance();
    Ids i;
    i.screen = api.addImage(
        vistrel::platform::PlatformImage::fromFile(VISTREL_EXAMPLES_DIR "/screen.png"));
    i.tmpl =
        api.clip(R"({"imageId": ")" + i.screen + R"(", "x": 60, "y": 880, "w": 120, "h": 80})");
    i.screenMat = api.imageToMatFormat(R"({"uuid": ")" + i.screen + R"("})");
    i.tmplMat = api.imageToMatFormat(R"({"uuid": ")" + i.tmpl + R"("})");
    return i;
  }();
  return all;
}

bool near(const nlohmann::json& found, int step) {
  if (!found.is_array() || found.empty()) return false;
  const auto& f = found[0];
  const int x = f.contains("left") ? f["left"].get<int>() : f["point"]["x"].get<int>();
  const int y = f.contains("top") ? f["top"].get<int>() : f["point"]["y"].get<int>();
  return std::abs(x - kX) <= step && std::abs(y - kY) <= step;
}

void run(benchmark::State& state, bool matrices, bool rectangles) {
  auto& api = AutoApi::getInstance();
  const Ids& i = ids();
  const std::string request = R"({"imageId": ")" + (matrices ? i.screenMat : i.screen) +
                              R"(", "templateId": ")" + (matrices ? i.tmplMat : i.tmpl) + R"("})";
  for (auto _ : state) {
    const std::string found = rectangles ? api.findImage(request) : api.matchTemplate(request);
    if (!near(nlohmann::json::parse(found, nullptr, false), 4)) {
      state.SkipWithError("not found within 2^level pixels");
      break;
    }
  }
}

void BM_FindImage_Matrices(benchmark::State& s) { run(s, true, true); }
void BM_FindImage_PixelImages(benchmark::State& s) { run(s, false, true); }
void BM_MatchTemplate_Matrices(benchmark::State& s) { run(s, true, false); }
void BM_MatchTemplate_PixelImages(benchmark::State& s) { run(s, false, false); }
BENCHMARK(BM_FindImage_Matrices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindImage_PixelImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchTemplate_Matrices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchTemplate_PixelImages)->Unit(benchmark::kMillisecond);

// Peer: the full-resolution search.
void BM_Peer_FullResolution(benchmark::State& state) {
  const cv::Mat screen = cv::imread(VISTREL_EXAMPLES_DIR "/screen.png", cv::IMREAD_COLOR);
  const cv::Mat tmpl = screen(cv::Rect(kX, kY, kW, kH)).clone();
  cv::Mat map;
  for (auto _ : state) {
    cv::matchTemplate(screen, tmpl, map, cv::TM_CCOEFF_NORMED);
    double best = 0;
    cv::Point at;
    cv::minMaxLoc(map, nullptr, &best, nullptr, &at);
    if (at != cv::Point(kX, kY)) {
      state.SkipWithError("not found");
      break;
    }
  }
}
BENCHMARK(BM_Peer_FullResolution)->Unit(benchmark::kMillisecond);

void BM_GrayImage(benchmark::State& state) {
  auto& api = AutoApi::getInstance();
  const std::string request = R"({"imageId": ")" + ids().screenMat + R"("})";
  for (auto _ : state) {
    const std::string id = api.grayImage(request);
    if (id.empty()) {
      state.SkipWithError("no gray image");
      break;
    }
    api.removeImage(id);
  }
}
BENCHMARK(BM_GrayImage)->Unit(benchmark::kMillisecond);

void BM_BinaryzationEx(benchmark::State& state) {
  auto& api = AutoApi::getInstance();
  const std::string request = R"({"imageId": ")" + ids().screenMat + R"("})";
  for (auto _ : state) {
    const std::string id = api.binaryzationEx(request);
    if (id.empty()) {
      state.SkipWithError("no two-level image");
      break;
    }
    api.removeImage(id);
  }
}
BENCHMARK(BM_BinaryzationEx)->Unit(benchmark::kMillisecond);

}  // namespace
