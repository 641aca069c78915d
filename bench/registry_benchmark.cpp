// The pixel array of a 1170 x 2532 screenshot, and the round trip of one pixel read through the
// call surface (JSON decoding, registry lookup, read).

#include <benchmark/benchmark.h>

#include "vistrel/api/AutoApi.h"
#include "vistrel/image/AutoImage.h"
#include "vistrel/platform/PlatformImage.h"

namespace {

using vistrel::platform::PlatformImage;

const vistrel::platform::ImagePtr& screenshot() {
  static const auto image = PlatformImage::fromFile(VISTREL_EXAMPLES_DIR "/screen.png");
  return image;
}

void BM_BuildPixelArray(benchmark::State& state) {
  for (auto _ : state) {
    const auto array = vistrel::image::toArray2(screenshot());
    if (!array || array->width() != 1170 || array->height() != 2532) {
      state.SkipWithError("no pixel array");
      break;
    }
    benchmark::DoNotOptimize(array->data());
  }
}
BENCHMARK(BM_BuildPixelArray)->Unit(benchmark::kMillisecond);

void BM_PixelRoundTrip(benchmark::State& state) {
  auto& api = vistrel::api::AutoApi::getInstance();
  const std::string id = api.addImage(screenshot());
  const std::string request = R"({"imageId": ")" + id + R"(", "x": 100, "y": 1420})";
  api.pixel(request);  // builds the array once
  for (auto _ : state) {
    const std::string value = api.pixel(request);
    if (value != "4281351167") {
      state.SkipWithError("wrong pixel value");
      break;
    }
    benchmark::DoNotOptimize(value.data());
  }
  api.removeImage(id);
}
BENCHMARK(BM_PixelRoundTrip);

}  // namespace
