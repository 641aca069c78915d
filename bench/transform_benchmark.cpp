// Transforms of a stored 1170 x 2532 screenshot through the call surface: clip, rotate, base64.

#include <benchmark/benchmark.h>

#include "vistrel/api/AutoApi.h"
#include "vistrel/platform/PlatformImage.h"

namespace {

using vistrel::api::AutoApi;

const std::string& screenId() {
  static const std::string id = AutoApi::getInstance().addImage(
      vistrel::platform::PlatformImage::fromFile(VISTREL_EXAMPLES_DIR "/screen.png"));
  return id;
}

std::string request(const std::string& members) {
  return R"({"imageId": ")" + screenId() + "\"" + members + "}";
}

void BM_Clip(benchmark::State& state) {
  auto& api = AutoApi::getInstance();
  const std::string text = request(R"(, "x": 80, "y": 1400, "w": 1010, "h": 180)");
  for (auto _ : state) {
    const std::string id = api.clip(text);
    if (id.size() != 32) {
      state.SkipWithError("clip failed");
      break;
    }
    api.removeImage(id);
  }
}
BENCHMARK(BM_Clip)->Unit(benchmark::kMillisecond);

void BM_RotateImage90(benchmark::State& state) {
  auto& api = AutoApi::getInstance();
  const std::string text = request(R"(, "degree": "90")");
  for (auto _ : state) {
    const std::string id = api.rotateImage(text);
    if (id.size() != 32) {
      state.SkipWithError("rotate failed");
      break;
    }
    api.removeImage(id);
  }
}
BENCHMARK(BM_RotateImage90)->Unit(benchmark::kMillisecond);

void BM_Base64(benchmark::State& state) {
  auto& api = AutoApi::getInstance();
  const std::string text = request("");
  for (auto _ : state) {
    const std::string encoded = api.base64(text);
    if (encoded.size() < 1000) {
      state.SkipWithError("no base64");
      break;
    }
    benchmark::DoNotOptimize(encoded.data());
  }
}
BENCHMARK(BM_Base64)->Unit(benchmark::kMillisecond);

}  // namespace
