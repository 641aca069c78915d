// Many threads adding, searching, recycling and removing matrix images at once. Run under TSan.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"
#include "vistrel/image/ImageManager.h"

namespace vistrel::native {
namespace {

using test::rgb;

TEST(MatrixStress, ManyThreadsAddSearchRecycleAndRemove) {
  auto& api = api::AutoApi::getInstance();
  test::CapturedOutput console;
  image::ImageManager::sharedInstance().matManager().setRecycleDelay(std::chrono::milliseconds(50));
  const auto image = test::makeImage(
      40, 30, [](int x, int y) { return x == 20 && y == 10 ? rgb(255, 0, 0) : rgb(20, 20, 20); });
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 60; ++i) {
        const std::string id = image::ImageManager::sharedInstance().matManager().addImage(image);
        const std::string found =
            api.findColor(R"({"imageId": ")" + id + R"(", "firstColor": "FF0000", "orz": 2})");
        if (found != R"([{"index":0,"x":20,"y":10}])" && found != "-1") ++wrong;
        if (i % 2 == 0) api.removeImage(id);
        if (t == 0 && i % 20 == 0) api.removeAllImage();
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
  image::ImageManager::sharedInstance().matManager().setRecycleDelay(std::chrono::seconds(10));
}

}  // namespace
}  // namespace vistrel::native
