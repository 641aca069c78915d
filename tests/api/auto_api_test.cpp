#include "vistrel/api/AutoApi.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/TestImages.h"
#include "vistrel/image/ImageManager.h"

namespace vistrel::api {
namespace {

using test::rgb;

class AutoApiTest : public ::testing::Test {
 protected:
  void TearDown() override { api.useOpencvMat(R"({"use": 0})"); }

  std::string add(const platform::ImagePtr& image) { return api.addImage(image); }
  static std::string idJson(const std::string& id) { return R"({"imageId": ")" + id + R"("})"; }

  AutoApi& api = AutoApi::getInstance();
};

TEST_F(AutoApiTest, GetInstanceIsOneInstanceAcrossThreads) {
  AutoApi* seen[4] = {};
  std::vector<std::thread> threads;
  for (auto& s : seen) threads.emplace_back([&s] { s = &AutoApi::getInstance(); });
  for (auto& t : threads) t.join();
  for (auto* s : seen) EXPECT_EQ(s, &api);
}

TEST_F(AutoApiTest, FailureValuesOfTheCallSurface) {
  test::CapturedOutput out;
  struct Case {
    const char* label;
    std::string actual;
    const char* expected;
  };
  const Case cases[] = {
      {"cmpColor on no JSON", api.cmpColor("nope"), ""},
      {"cmpColor without image id", api.cmpColor("{}"), "-1"},
      {"findColor with {}", api.findColor("{}"), ""},
      {"findMultiColor with {}", api.findMultiColor("{}"), ""},
      {"findNotColor with {}", api.findNotColor("{}"), ""},
      {"findImageByColor with {}", api.findImageByColor("{}"), ""},
      {"findImageByColorEx with {}", api.findImageByColorEx("{}"), ""},
      {"getWidth of an unknown pixel id", api.getWidth(R"({"imageId": "ABC"})"), "0"},
      {"getWidth of an unknown matrix id", api.getWidth(R"({"imageId": "ABC-mat"})"), "-1"},
      {"getHeight without id", api.getHeight("{}"), "0"},
      {"getWidth on no JSON", api.getWidth("[]"), ""},
      {"pixel of an unknown id", api.pixel(R"({"imageId": "ABC", "x": 1, "y": 1})"), "0"},
      {"pixel of an unknown matrix id", api.pixel(R"({"imageId": "A-mat", "x": 1, "y": 1})"),
       "-100"},
      {"pixel with negative x on a matrix id", api.pixel(R"({"imageId": "A-mat", "x": -1})"), "0"},
      {"pixelRGB of an unknown matrix id", api.pixelRGB(R"({"imageId": "A-mat"})"), "#9CFFFF"},
      {"pixel with x as text", api.pixel(R"({"imageId": "A", "x": "1"})"), ""},
      {"removeImage of an unknown id", api.removeImage("UNKNOWN"), "ok"},
      {"removeImage of an absent id", api.removeImage(std::nullopt), ""},
      {"isRecycled of an absent id", api.isRecycled(std::nullopt), ""},
      {"isRecycled of the empty id", api.isRecycled(""), "ok"},
      {"addImage of no image", api.addImage(nullptr), ""},
      {"findColor on an unknown matrix id", api.findColor(R"({"imageId": "X-mat"})"), "-1"},
      {"cmpColor on an unknown matrix id",
       api.cmpColor(R"({"imageId": "X-mat", "firstColor": "1|1|FFFFFF"})"), "-1"},
      {"useOpencvMat on no JSON", api.useOpencvMat("x"), "ok"},
      {"setMatLog with anything", api.setMatLog(R"({"use": "yes"})"), "ok"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.label;
  EXPECT_FALSE(api.getAutoImageData(std::nullopt));
  EXPECT_FALSE(api.getAutoImageData("UNKNOWN"));
}

TEST_F(AutoApiTest, RegistryRoundTrip) {
  const std::string id = add(test::makeImage(
      100, 50, [](int x, int y) { return x == 99 && y == 49 ? rgb(255, 0, 0) : rgb(0, 0, 255); }));
  ASSERT_EQ(id.size(), 32u);
  EXPECT_EQ(api.getWidth(idJson(id)), "100");
  EXPECT_EQ(api.getHeight(idJson(id)), "50");
  EXPECT_EQ(api.isRecycled(id), "");
  const std::string at = R"({"imageId": ")" + id;
  EXPECT_EQ(api.pixel(at + R"(", "x": 99, "y": 49})"), "4278190335");
  EXPECT_EQ(api.pixelRGB(at + R"(", "x": 99, "y": 49})"), "#FF0000");
  EXPECT_EQ(api.pixelRGB(at + R"(", "x": 0, "y": 0})"), "#0000FF");
  EXPECT_EQ(api.pixel(at + R"(", "x": 100, "y": 0})"), "0");
  EXPECT_EQ(api.pixel(at + R"(", "x": -1, "y": 0})"), "0");
  EXPECT_EQ(api.pixel(at + R"(", "x": 9223372036854775807, "y": 0})"), "0");
  const auto jpeg = api.getAutoImageData(id);
  ASSERT_TRUE(jpeg);
  EXPECT_EQ((*jpeg)[0], 0xFF);
  EXPECT_EQ((*jpeg)[1], 0xD8);
  EXPECT_EQ(api.removeImage(id), "ok");
  EXPECT_EQ(api.isRecycled(id), "ok");
  EXPECT_EQ(api.getWidth(idJson(id)), "0");
}

TEST_F(AutoApiTest, SwitchReading) {
  auto& registry = image::ImageManager::sharedInstance();
  const std::pair<const char*, bool> cases[] = {
      {R"({"use": 1})", true},     {R"({"use": "1"})", true},    {R"({"use": "TRUE"})", false},
      {R"({"use": true})", false}, {R"({"use": "yes"})", false}, {"{}", false},
      {"not json", false},
  };
  for (const auto& [text, on] : cases) {
    EXPECT_EQ(api.useOpencvMat(text), "ok");
    EXPECT_EQ(registry.opencvMat(), on) << text;
  }
}

TEST_F(AutoApiTest, RemoveAllImageForgetsEveryIdAndWritesItsLine) {
  const std::string a = add(test::solidImage(2, 2, rgb(1, 2, 3)));
  test::CapturedOutput out;
  EXPECT_EQ(api.removeAllImage(), "ok");
  EXPECT_EQ(api.isRecycled(a), "ok");
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_EQ(out.lines[0], "matManager --->>>> removeAll image");
  const std::string b = add(test::solidImage(2, 2, rgb(1, 2, 3)));
  EXPECT_EQ(api.isRecycled(b), "");
}

}  // namespace
}  // namespace vistrel::api
