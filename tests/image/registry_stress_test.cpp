// Many threads adding, reading, searching by pixel, recycling and removing everything at once.
// Run under TSan in CI.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"

namespace vistrel::api {
namespace {

using test::rgb;

TEST(RegistryStress, AddReadSearchRecycleAndRemoveAllAtOnce) {
  test::CapturedOutput quiet;  // removeAll writes a line each time
  auto& api = AutoApi::getInstance();
  const auto image = test::makeImage(
      64, 48, [](int x, int y) { return x == 40 && y == 30 ? rgb(255, 0, 0) : rgb(20, 20, 20); });
  std::atomic<int> wrongAnswers{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 150; ++i) {
        const std::string id = api.addImage(image);
        const std::string at = R"({"imageId": ")" + id;
        // Another thread may remove everything at any moment: then the answers are the
        // not-found values, never anything else.
        const std::string p = api.pixel(at + R"(", "x": 40, "y": 30})");
        if (p != "4278190335" && p != "0") ++wrongAnswers;
        const std::string found =
            api.findColor(at + R"(", "firstColor": "FF0000", "limit": 5, "orz": )" +
                          std::to_string(1 + (i + t) % 8) + "}");
        if (found != R"([{"x":40,"y":30,"index":0}])" && !found.empty()) ++wrongAnswers;
        const std::string w = api.getWidth(at + "\"}");
        if (w != "64" && w != "0") ++wrongAnswers;
        if (i % 3 == 0) api.removeImage(id);
        if (t == 0 && i % 25 == 0) api.removeAllImage();
        api.isRecycled(id);
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrongAnswers.load(), 0);
}

TEST(RegistryStress, ManyThreadsSearchOneImageWhileItIsRecycled) {
  auto& api = AutoApi::getInstance();
  const std::string id = api.addImage(test::solidImage(200, 100, rgb(0, 128, 255)));
  const std::string request =
      R"({"imageId": ")" + id + R"(", "firstColor": "0080FF", "limit": 3, "orz": 5})";
  std::atomic<int> wrongAnswers{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 100; ++i) {
        const std::string found = api.findColor(request);
        if (!found.empty() &&
            found !=
                R"([{"x":199,"y":99,"index":0},{"x":199,"y":98,"index":0},{"x":199,"y":97,"index":0}])") {
          ++wrongAnswers;
        }
      }
    });
  }
  threads.emplace_back([&] { api.removeImage(id); });
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrongAnswers.load(), 0);
}

}  // namespace
}  // namespace vistrel::api
