#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"
#include "vistrel/image/DataUtils.h"
#include "vistrel/image/ImageManager.h"
#include "vistrel/image/ImageUtils.h"
#include "vistrel/platform/Base64.h"

namespace vistrel::image {
namespace {

using api::AutoApi;
using test::rgb;

// Within a few levels per channel, as JPEG round trips leave them.
bool near(std::uint32_t a, std::uint32_t b, int tolerance = 12) {
  for (int c = 0; c < 24; c += 8) {
    const int d = static_cast<int>((a >> c) & 0xFF) - static_cast<int>((b >> c) & 0xFF);
    if (d > tolerance || d < -tolerance) return false;
  }
  return true;
}

class StoredTransforms : public ::testing::Test {
 protected:
  // 100 x 50 in four quadrants: red top-left, green top-right, blue bottom-left, white
  // bottom-right.
  void SetUp() override {
    id = api.addImage(test::makeImage(100, 50, [](int x, int y) {
      if (y < 25) return x < 50 ? rgb(255, 0, 0) : rgb(0, 255, 0);
      return x < 50 ? rgb(0, 0, 255) : rgb(255, 255, 255);
    }));
  }
  void TearDown() override { api.removeAllImage(); }

  std::string request(const std::string& members) {
    return R"({"imageId": ")" + id + "\"" + members + "}";
  }
  std::int64_t width(const std::string& i) { return registry().getWidth(i); }
  std::int64_t height(const std::string& i) { return registry().getHeight(i); }
  std::uint32_t pixel(const std::string& i, int x, int y) {
    return static_cast<std::uint32_t>(registry().pixel(i, x, y));
  }
  static ImageManager& registry() { return ImageManager::sharedInstance(); }

  AutoApi& api = AutoApi::getInstance();
  test::CapturedOutput quiet;
  std::string id;
};

TEST_F(StoredTransforms, ClipRegions) {
  struct Case {
    const char* label;
    const char* members;
    std::int64_t w, h;  // 0: no image
  };
  const Case cases[] = {
      {"all zero is the whole image: nothing", R"(, "x": 0, "y": 0, "w": 0, "h": 0)", 0, 0},
      {"the full size: nothing", R"(, "w": 100, "h": 50)", 0, 0},
      {"from 10, 10 to the edges", R"(, "x": 10, "y": 10)", 90, 40},
      {"negative x", R"(, "x": -1, "y": 0, "w": 5, "h": 5)", 0, 0},
      {"a piece", R"(, "x": 50, "y": 25, "w": 10, "h": 5)", 10, 5},
      {"huge size runs to the edges", R"(, "x": 95, "y": 45, "w": 9223372036854775807, "h": 9)", 5,
       5},
  };
  for (const auto& c : cases) {
    const std::string clipped = api.clip(request(c.members));
    if (c.w == 0) {
      EXPECT_EQ(clipped, "") << c.label;
      continue;
    }
    ASSERT_EQ(clipped.size(), 32u) << c.label;
    EXPECT_EQ(width(clipped), c.w) << c.label;
    EXPECT_EQ(height(clipped), c.h) << c.label;
  }
  EXPECT_EQ(pixel(api.clip(request(R"(, "x": 50, "y": 25, "w": 10, "h": 5)")), 0, 0),
            rgb(255, 255, 255));
  EXPECT_EQ(api.clip(R"({"imageId": "X-mat", "x": -1})"), "");
  EXPECT_EQ(api.clip(R"({"imageId": "UNKNOWN", "x": 1})"), "");
}

TEST_F(StoredTransforms, RotationPixelPositions) {
  const std::string right = api.rotateImage(request(R"(, "degree": "90")"));
  ASSERT_EQ(right.size(), 32u);
  EXPECT_EQ(width(right), 50);
  EXPECT_EQ(height(right), 100);
  EXPECT_TRUE(near(pixel(right, 0, 0), rgb(0, 0, 255)));  // the source's bottom-left
  EXPECT_TRUE(near(pixel(right, 49, 0), rgb(255, 0, 0)));
  const std::string left = api.rotateImage(request(R"(, "degree": "-90")"));
  EXPECT_EQ(width(left), 50);
  EXPECT_TRUE(near(pixel(left, 0, 0), rgb(0, 255, 0)));  // the source's top-right
  const std::string same = api.rotateImage(request(R"(, "degree": "0")"));
  EXPECT_EQ(width(same), 100);
  EXPECT_EQ(pixel(same, 0, 0), rgb(255, 0, 0));  // no redraw: exact pixels
  for (const char* degree : {"180", "", "90 ", "-0"}) {
    EXPECT_EQ(api.rotateImage(request(std::string(R"(, "degree": ")") + degree + "\"")), "")
        << degree;
  }
  EXPECT_EQ(api.rotateImage(request("")), "");
}

TEST_F(StoredTransforms, TwoLevelsAroundGray200) {
  const std::string gray = api.addImage(test::makeImage(
      2, 1, [](int x, int) { return x == 0 ? rgb(210, 200, 190) : rgb(200, 200, 199); }));
  const std::string two = api.binaryzationImage(R"({"imageId": ")" + gray + R"("})");
  ASSERT_EQ(two.size(), 32u);
  EXPECT_EQ(pixel(two, 0, 0), rgb(255, 255, 255));  // gray 200
  EXPECT_EQ(pixel(two, 1, 0), rgb(0, 0, 0));        // gray 199
  const auto level = [&](const char* threshold) {
    return pixel(
        api.binaryzationImage(R"({"imageId": ")" + gray + R"(", "threshold": )" + threshold + "}"),
        0, 0);
  };
  EXPECT_EQ(level("200.9"), rgb(255, 255, 255));  // truncated to 200
  EXPECT_EQ(level("0"), rgb(255, 255, 255));
  EXPECT_EQ(level("-5"), rgb(255, 255, 255));
  EXPECT_EQ(level("256"), rgb(0, 0, 0));
  // No integer can be formed from such a threshold: a clear failure.
  EXPECT_EQ(api.binaryzationImage(R"({"imageId": ")" + gray + R"(", "threshold": 1e30})"), "");
}

TEST_F(StoredTransforms, MatrixConversionsWithoutMatrices) {
  EXPECT_EQ(api.matToImageFormat(R"({"uuid": ")" + id + R"("})"), "");
  EXPECT_EQ(api.matToImageFormat("not json"), "");
}

TEST_F(StoredTransforms, Base64RoundTripsThroughDecoding) {
  const std::string text = api.base64(request(""));
  const auto bytes = platform::base64Decode(text);
  ASSERT_TRUE(bytes);
  const auto decoded = platform::PlatformImage::decode(*bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width(), 100);
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(api.base64(R"({"imageId": "UNKNOWN"})"), "");
}

TEST(ImageObjects, AbsentInAbsentOut) {
  auto& api = AutoApi::getInstance();
  EXPECT_FALSE(api.clipImage(nullptr));
  EXPECT_FALSE(api.toUpImage(nullptr));
  EXPECT_FALSE(api.toLeftImage(nullptr));
  EXPECT_FALSE(api.toRightImage(nullptr));
  EXPECT_FALSE(api.toUpImageFrom(std::nullopt));
  EXPECT_FALSE(api.toUpImageFrom(platform::Bytes{1, 2, 3}));
  EXPECT_FALSE(api.toUpImageData(nullptr));
  EXPECT_FALSE(api.toUpImageDataFrom(platform::Bytes{1, 2, 3}));
  EXPECT_FALSE(ImageUtils::toUpImage(platform::PlatformImage::over(nullptr)));
}

TEST(ImageObjects, EncodingTypes) {
  auto& api = AutoApi::getInstance();
  const auto img = test::solidImage(8, 8, rgb(10, 200, 30));
  const auto png = api.toUpImageData2(img, 0.5f, 2);
  ASSERT_TRUE(png);
  EXPECT_EQ((*png)[1], 'P');
  const auto jpeg = api.toUpImageData2(img, 0.5f, 3);  // any other type: JPEG
  ASSERT_TRUE(jpeg);
  EXPECT_EQ((*jpeg)[0], 0xFF);
  EXPECT_FALSE(api.toUpImageData3(img, 0.5f, 3));
  EXPECT_TRUE(api.toUpImageData3(img, 0.5f, 1));
  const auto fromPng = api.toUpImageData3(img, 0.5f, 2);
  ASSERT_TRUE(fromPng);
  EXPECT_EQ(fromPng->bitmap()->rgba, img->bitmap()->rgba);
  const auto clipped = api.clipImage(img);
  EXPECT_EQ(clipped->width(), 8);
}

TEST(ImageObjects, OrientationMarksAreDroppedByNormalisation) {
  const auto marked = platform::PlatformImage::over(test::solidImage(6, 4, 0xFF000000)->bitmap(),
                                                    1.0, platform::Orientation::right);
  const auto up = AutoApi::getInstance().toUpImage(marked);
  EXPECT_EQ(up->orientation(), platform::Orientation::up);
  EXPECT_EQ(up->bitmap(), marked->bitmap());  // the same pixels, not turned
  EXPECT_EQ(up->width(), 6);
  const auto turned = AutoApi::getInstance().toRightImage(test::solidImage(6, 4, 0xFF000000));
  EXPECT_EQ(turned->width(), 4);
  EXPECT_EQ(turned->height(), 6);
}

TEST(ByteBuffers, Helpers) {
  EXPECT_EQ(DataUtils::md5_22({}), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(DataUtils::md5_22({'a', 'b', 'c'}), "900150983cd24fb0d6963f7d28e17f72");
  platform::Bytes bytes = {'a'};
  DataUtils::appendString(bytes, "bé");
  EXPECT_EQ(DataUtils::toString(bytes), "abé");
  const std::pair<platform::Bytes, bool> utf8[] = {{{0xC3, 0xA9}, true},
                                                   {{0xC3}, false},
                                                   {{0xC0, 0xAF}, false},
                                                   {{0xED, 0xA0, 0x80}, false},
                                                   {{0xF4, 0x90, 0x80, 0x80}, false},
                                                   {{0xF0, 0x9F, 0x98, 0x80}, true},
                                                   {{0xFF}, false},
                                                   {{}, true}};
  for (const auto& [b, valid] : utf8) EXPECT_EQ(DataUtils::toString(b).has_value(), valid);
}

TEST(ByteBuffers, ToDicLinesOnlyOnParseErrors) {
  test::CapturedOutput out;
  const std::string array = "[1, 2]";
  EXPECT_FALSE(DataUtils::toDic({array.begin(), array.end()}));
  EXPECT_TRUE(out.lines.empty());
  EXPECT_FALSE(DataUtils::toDic({'{'}));
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_TRUE(out.lines[0].starts_with("[Error] Data isn't to Dictionary: "));
  EXPECT_TRUE(out.lines[0].ends_with(" _Ext+Decode"));
  const std::string object = R"({"a": 1})";
  EXPECT_EQ((*DataUtils::toDic({object.begin(), object.end()}))["a"], 1);
}

}  // namespace
}  // namespace vistrel::image
