#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <set>
#include <thread>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"
#include "vistrel/image/ImageManager.h"
#include "vistrel/native/FindColor.h"
#include "vistrel/native/FindColorMatBridge.h"
#include "vistrel/native/FindImageByColor.h"
#include "vistrel/native/FindMultiColor.h"
#include "vistrel/native/Matmap.h"
#include "vistrel/native/internal/NativeText.h"

namespace vistrel::native {
namespace {

using test::rgb;

cv::Mat bgr(int w, int h, cv::Scalar fill) { return cv::Mat(h, w, CV_8UC3, fill); }
cv::Scalar colour(int r, int g, int b) { return cv::Scalar(b, g, r); }

TEST(Matmap, IdsAreUniqueDigitsEvenWithinOneMillisecond) {
  const cv::Mat m = bgr(2, 2, colour(1, 2, 3));
  std::set<std::string> ids;
  for (int i = 0; i < 2000; ++i) {
    const std::string id = addMat(m);
    ASSERT_FALSE(id.empty());
    ASSERT_EQ(id.find_first_not_of("0123456789"), std::string::npos) << id;
    ASSERT_TRUE(ids.insert(id).second) << "repeated " << id;
  }
  for (const auto& id : ids) closeMat(id);
  EXPECT_EQ(addMat(cv::Mat()), "");
}

TEST(MatHandle, LifecycleAndReads) {
  const std::size_t before = Matmap::instance().size();
  cv::Mat m = bgr(3, 2, colour(0, 0, 0));
  m.at<cv::Vec3b>(0, 0) = cv::Vec3b(0, 0, 255);  // red
  m.at<cv::Vec3b>(0, 1) = cv::Vec3b(255, 0, 0);  // blue
  {
    MatHandle handle(addMat(m));
    EXPECT_EQ(handle.getWidth(), 3);
    EXPECT_EQ(handle.getHeight(), 2);
    EXPECT_EQ(handle.type(), 16);
    EXPECT_EQ(handle.channels(), 3);
    const std::pair<std::array<long long, 2>, const char*> reads[] = {
        {{0, 0}, "ff0000"}, {{1, 0}, "ff"}, {{2, 1}, "0"},
        {{3, 0}, ""},       {{0, 2}, ""},   {{-1, 0}, ""}};
    for (const auto& [at, hex] : reads) EXPECT_EQ(handle.getMatColorHex(at[0], at[1]), hex);
    handle.close();
    EXPECT_EQ(handle.getNativeAdr(), "");
    EXPECT_EQ(handle.getWidth(), 0);
    EXPECT_EQ(handle.getMatColorHex(0, 0), "");
    handle.close();  // nothing twice
  }
  EXPECT_EQ(Matmap::instance().size(), before);
  MatHandle gray(addMat(cv::Mat(2, 2, CV_8UC1, cv::Scalar(7))));
  EXPECT_EQ(gray.getMatColorHex(0, 0), "");  // a one-channel element has no three colours
  MatHandle unset;
  EXPECT_FALSE(unset.getNativeAdr());
  EXPECT_EQ(unset.getWidth(), 0);
}

TEST(NativeText, SplitReplaceAndColours) {
  using internal::s_split;
  using V = std::vector<std::string>;
  EXPECT_EQ(s_split("a,b,", ","), (V{"a", "b"}));
  EXPECT_EQ(s_split(",a,,b", ","), (V{"", "a", "", "b"}));
  EXPECT_EQ(s_split("1|2|FF0000|", "\\|"), (V{"1", "2", "FF0000"}));
  EXPECT_EQ(internal::replaceStr("a#b#", "#", ""), "ab#");
  EXPECT_EQ(internal::parseColor("FF0000"), 0xFF0000);
  EXPECT_EQ(internal::parseColor("FFF"), 0xFFF);
  EXPECT_EQ(internal::parseColor("#0xFF"), 0xFF);
  EXPECT_EQ(internal::parseColor("7FFFFFFF"), 0x7FFFFFFF);
  EXPECT_EQ(internal::parseColor(""), 0);
  EXPECT_THROW(internal::parseColor("FF0000FF"), std::out_of_range);
  EXPECT_THROW(internal::parseColor("GG"), std::invalid_argument);
  EXPECT_EQ(internal::parsePointsString("0|0|FF0000|,1|2|,x|3|FF"),
            (std::vector<int>{0, 0, 0xFF0000, 0, 0, 3, 0xFF, 0}));
}

TEST(NativeText, ToleranceAtThreshold09IsOneWiderBelow) {
  const auto range = [](float threshold) {
    // Which colour channels the pixel 100 accepts, from the accepted pixels of each colour.
    std::vector<int> accepted;
    for (int c = 0; c < 256; ++c) {
      const auto r = internal::acceptedPixels(c, 0, 255.0f - threshold * 255.0f);
      if (r.low <= 100 && 100 <= r.high) accepted.push_back(c);
    }
    return std::pair{accepted.front(), accepted.back()};
  };
  EXPECT_EQ(range(0.9f), (std::pair{74, 125}));
  EXPECT_EQ(range(0.8f), (std::pair{49, 151}));
}

TEST(NativeSearch, ResultsAndDifferences) {
  cv::Mat m = bgr(4, 3, colour(0, 0, 255));      // blue
  m.at<cv::Vec3b>(1, 2) = cv::Vec3b(0, 0, 255);  // red at (2, 1)
  FindColor fc;
  FindMultiColor fm;
  struct Case {
    const char* label;
    std::string actual;
    const char* expected;
  };
  test::CapturedOutput quiet;
  platform::setErrSink([](std::string_view) {});
  const Case cases[] = {
      {"index first", fc.findColor(m, "FF0000", 0.9f, 0, 0, 0, 0, 0, 1, true),
       R"([{"index":0,"x":2,"y":1}])"},
      {"no hit is null", fc.findColor(m, "00FF00", 0.9f, 0, 0, 0, 0, 0, 1, true), "null"},
      {"orz 9 is null", fc.findColor(m, "FF0000", 0.9f, 0, 0, 0, 0, 0, 9, true), "null"},
      {"same false reports each differing alternative",
       fc.findColor(m, "FF0000,00FF00", 0.9f, 2, 1, 1, 1, 0, 1, false),
       R"([{"index":1,"x":2,"y":1}])"},
      {"a trailing comma is ignored", fc.findColor(m, "FF0000,", 0.9f, 0, 0, 0, 0, 0, 2, true),
       R"([{"index":0,"x":2,"y":1}])"},
      {"an unreadable colour", fc.findColor(m, "GG", 0.9f, 0, 0, 0, 0, 0, 1, true), ""},
      {"rectangle offsets", fc.findColor(m, "FF0000", 0.9f, 1, 1, 3, 2, 0, 1, true),
       R"([{"index":0,"x":2,"y":1}])"},
      {"multi: x and y only",
       fm.findMultiColor(m, "FF0000", "-1|0|0000FF", 0.9f, 0, 0, 0, 0, 0, 1, true),
       R"([{"x":2,"y":1}])"},
      {"multi: a point one column past the edge",
       fm.findMultiColor(m, "FF0000", "2|0|0000FF", 0.9f, 0, 0, 0, 0, 0, 1, true), "null"},
      {"multi: no point", fm.findMultiColor(m, "FF0000", "1|2|", 0.9f, 0, 0, 0, 0, 0, 1, true), ""},
      {"multi: limit 0 gives one hit",
       fm.findMultiColor(m, "0000FF", "0|0|0000FF", 0.9f, 0, 0, 0, 0, 0, 2, true),
       R"([{"x":0,"y":0}])"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.label;
  EXPECT_EQ(fm.cmpColor(m, R"(["2|1|FF0000", "0|0|FF0000"])", 0.9f), -1);
  EXPECT_EQ(fm.cmpMultiColor(m, R"(["2|1|FF0000", "0|0|FF0000"])", 0.9f), 0);
  EXPECT_EQ(fm.cmpMultiColor(m, R"([1, "0|0|0000FF"])", 0.9f), 0);
  EXPECT_EQ(fm.cmpMultiColor(m, "2|1|FF0000", 0.9f), 0);
  EXPECT_EQ(fm.cmpMultiColor(m, "{", 0.9f), -1);
  platform::setErrSink({});
}

TEST(NativeImageSearch, PatternsAndBackgrounds) {
  cv::Mat big = bgr(20, 10, colour(128, 128, 128));
  cv::Mat tmpl = bgr(3, 2, colour(255, 255, 255));
  tmpl.at<cv::Vec3b>(0, 1) = cv::Vec3b(0, 0, 255);
  tmpl.at<cv::Vec3b>(1, 1) = cv::Vec3b(255, 0, 0);
  // Place the template's red-over-blue at (5, 4) and (12, 1).
  for (const auto& at : {cv::Point(5, 4), cv::Point(12, 1)}) {
    big.at<cv::Vec3b>(at) = cv::Vec3b(0, 0, 255);
    big.at<cv::Vec3b>(at + cv::Point(0, 1)) = cv::Vec3b(255, 0, 0);
  }
  FindImageByColor f;
  EXPECT_EQ(f.findImageByColor0(big, tmpl, 0.95f, 0, 0, 0, 0, 10),
            R"([{"x":12,"y":1},{"x":5,"y":4}])");
  EXPECT_EQ(f.findImageByColor0(big, tmpl, 0.95f, 0, 0, 0, 0, 0), R"([{"x":12,"y":1}])");
  EXPECT_EQ(f.findImageByColor0(big, tmpl, 0.95f, 4, 3, 10, 5, 10), R"([{"x":5,"y":4}])");
  // One red element on white: no entries, so nothing (the pixel engine would report every red).
  cv::Mat lone = bgr(3, 3, colour(255, 255, 255));
  lone.at<cv::Vec3b>(1, 1) = cv::Vec3b(0, 0, 255);
  EXPECT_EQ(f.findImageByColor0(big, lone, 0.95f, 0, 0, 0, 0, 10), "null");
  EXPECT_EQ(f.findImageByColor0(big, bgr(3, 3, colour(1, 1, 1)), 0.95f, 0, 0, 0, 0, 10), "null");
  // The share never relaxes the match.
  cv::Mat changed = big.clone();
  changed.at<cv::Vec3b>(cv::Point(5, 5)) = cv::Vec3b(0, 255, 0);
  EXPECT_EQ(f.findImageByColorEx0(changed, tmpl, 0, 0, 0, 0, 10, "#000000", 0.95f, "#000000", 0.95f,
                                  0.5f, 0, 0),
            R"([{"x":12,"y":1}])");
  platform::setErrSink([](std::string_view) {});
  EXPECT_EQ(
      f.findImageByColorEx0(big, tmpl, 0, 0, 0, 0, 10, "zz", 0.95f, "#000000", 0.95f, 1.0f, 0, 0),
      "");
  platform::setErrSink({});
  // A four-channel template against a three-channel image, and gray matrices.
  cv::Mat tmpl4;
  cv::cvtColor(tmpl, tmpl4, cv::COLOR_BGR2BGRA);
  EXPECT_EQ(f.findImageByColor0(big, tmpl4, 0.95f, 0, 0, 0, 0, 10),
            R"([{"x":12,"y":1},{"x":5,"y":4}])");
  EXPECT_EQ(f.findImageByColor0(cv::Mat(4, 4, CV_8UC1, cv::Scalar(9)),
                                cv::Mat(2, 2, CV_8UC1, cv::Scalar(9)), 0.9f, 0, 0, 0, 0, 10),
            "null");
}

// The fast native scans against a plain reading of the rules, element by element.
TEST(NativeSearch, RandomComparisonWithAPlainReference) {
  std::mt19937 random(7);
  const auto uniform = [&](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(random);
  };
  const int palette[][3] = {
      {250, 20, 20}, {240, 30, 25}, {20, 200, 40}, {0, 0, 0}, {255, 255, 255}};
  const auto channelOk = [](int p, int o, int c, float threshold) {
    const float g = 255.0f - threshold * 255.0f;
    const long low = std::max(0L, static_cast<long>(std::trunc(static_cast<float>(p - o) - g)));
    const long high = std::min(255L, static_cast<long>(std::trunc(g + static_cast<float>(p + o))));
    return low <= c && c <= high;
  };
  FindColor fc;
  for (int round = 0; round < 300; ++round) {
    const int w = uniform(1, 60), h = uniform(1, 30);
    cv::Mat m(h, w, CV_8UC3);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const auto& p = palette[uniform(0, 4)];
        m.at<cv::Vec3b>(y, x) =
            cv::Vec3b(static_cast<uchar>(p[2]), static_cast<uchar>(p[1]), static_cast<uchar>(p[0]));
      }
    }
    const auto& c = palette[uniform(0, 4)];
    const int packed = (c[0] << 16) | (c[1] << 8) | c[2];
    char text[16];
    std::snprintf(text, sizeof text, "%06X", packed);
    const float threshold =
        std::array<float, 4>{1.0f, 0.95f, 0.9f, 0.7f}[static_cast<std::size_t>(uniform(0, 3))];
    const int orz = uniform(1, 8), limit = uniform(0, 6);
    // Reference: every element in the order's sequence.
    std::vector<int> hits;
    std::vector<std::pair<int, int>> order;
    const bool columns = orz == 1 || orz == 4 || orz == 5 || orz == 8;
    const bool rtl = orz == 3 || orz == 4 || orz == 5 || orz == 6;
    const bool btt = orz == 5 || orz == 6 || orz == 7 || orz == 8;
    for (int i = 0; i < (columns ? w : h); ++i) {
      for (int j = 0; j < (columns ? h : w); ++j) {
        const int a = columns ? (rtl ? w - 1 - i : i) : (rtl ? w - 1 - j : j);
        const int b = columns ? (btt ? h - 1 - j : j) : (btt ? h - 1 - i : i);
        order.push_back({a, b});
      }
    }
    for (const auto& [x, y] : order) {
      const auto& px = m.at<cv::Vec3b>(y, x);
      if (channelOk(px[2], 0, c[0], threshold) && channelOk(px[1], 0, c[1], threshold) &&
          channelOk(px[0], 0, c[2], threshold)) {
        hits.insert(hits.end(), {x, y, 0});
        if (limit >= 1 && static_cast<int>(hits.size() / 3) >= limit) break;
      }
    }
    std::string expected = "null";
    if (!hits.empty()) {
      expected = "[";
      for (std::size_t i = 0; i < hits.size(); i += 3) {
        expected += (i ? ",{" : "{") + std::string("\"index\":0,\"x\":") + std::to_string(hits[i]) +
                    ",\"y\":" + std::to_string(hits[i + 1]) + "}";
      }
      expected += "]";
    }
    EXPECT_EQ(fc.findColor(m, text, threshold, 0, 0, 0, 0, limit, orz, true), expected)
        << "round " << round << " " << text << " orz " << orz << " limit " << limit;
  }
}

class MatrixMode : public ::testing::Test {
 protected:
  void SetUp() override { api.useOpencvMat(R"({"use": 1})"); }
  void TearDown() override {
    api.useOpencvMat(R"({"use": 0})");
    image::ImageManager::sharedInstance().matManager().setRecycleDelay(std::chrono::seconds(10));
  }
  std::string req(const std::string& id, const std::string& members = "") {
    return R"({"imageId": ")" + id + "\"" + members + "}";
  }
  api::AutoApi& api = api::AutoApi::getInstance();
  test::CapturedOutput console;
};

TEST_F(MatrixMode, CallSurfaceOnMatrixImages) {
  const std::string id = api.addImage(test::makeImage(
      4, 3, [](int x, int y) { return x == 2 && y == 1 ? rgb(255, 0, 0) : rgb(0, 0, 255); }));
  ASSERT_TRUE(id.ends_with("-mat")) << id;
  EXPECT_EQ(id.size(), 36u);
  EXPECT_EQ(api.getWidth(req(id)), "4");
  EXPECT_EQ(api.pixel(req(id, R"(, "x": 2, "y": 1)")), "4278190335");
  EXPECT_EQ(api.pixelRGB(req(id, R"(, "x": 0, "y": 0)")), "#0000FF");
  EXPECT_EQ(api.pixel(req(id, R"(, "x": 4, "y": 0)")), "-100");
  EXPECT_EQ(api.findColor(req(id, R"(, "firstColor": "FF0000", "orz": 1)")),
            R"([{"index":0,"x":2,"y":1}])");
  EXPECT_EQ(api.findColor(req("NOPE-mat", R"(, "firstColor": "FF0000")")), "-1");
  EXPECT_EQ(api.findMultiColor(
                req("NOPE-mat", R"(, "firstColor": "FF0000", "colorPoints": "0|0|FF0000")")),
            "");
  EXPECT_EQ(api.cmpColor(req(id, R"(, "firstColor": "2|1|FF0000")")), "0");
  // Clips are views, stored as new matrix images whatever the mode.
  const std::string clip = api.clip(req(id, R"(, "x": 1, "y": 1, "w": 2, "h": 1)"));
  ASSERT_TRUE(clip.ends_with("-mat"));
  EXPECT_EQ(api.getWidth(req(clip)), "2");
  EXPECT_EQ(api.pixelRGB(req(clip, R"(, "x": 1, "y": 0)")), "#FF0000");
  EXPECT_EQ(api.clip(req(id, R"(, "x": 0, "y": 0, "w": 0, "h": 0)")), "");
  // Conversions both ways; a matrix copy is a second matrix.
  const std::string pixelCopy = api.matToImageFormat(R"({"uuid": ")" + id + R"("})");
  ASSERT_EQ(pixelCopy.size(), 32u);
  EXPECT_EQ(api.pixelRGB(req(pixelCopy, R"(, "x": 2, "y": 1)")), "#FF0000");
  const std::string matrixCopy = api.imageToMatFormat(R"({"uuid": ")" + id + R"("})");
  EXPECT_TRUE(matrixCopy.ends_with("-mat"));
  EXPECT_NE(matrixCopy, id);
  const std::string turned = api.rotateImage(req(id, R"(, "degree": "90")"));
  EXPECT_EQ(api.getWidth(req(turned)), "3");
  const std::string two = api.binaryzationImage(req(id));
  EXPECT_TRUE(two.ends_with("-mat"));
  EXPECT_EQ(api.pixelRGB(req(two, R"(, "x": 0, "y": 0)")), "#000000");
  EXPECT_FALSE(api.getAutoImageData(id)->empty());
  EXPECT_EQ(api.removeImage(id), "ok");
  EXPECT_EQ(api.isRecycled(id), "ok");
}

TEST_F(MatrixMode, RemoveAllClosesMatricesLaterOnItsOwnThread) {
  auto& matrices = image::ImageManager::sharedInstance().matManager();
  matrices.setRecycleDelay(std::chrono::milliseconds(300));
  const std::string id = api.addImage(test::solidImage(3, 3, rgb(1, 2, 3)));
  const auto handle = matrices.getMat(id);
  ASSERT_TRUE(handle);
  EXPECT_EQ(api.removeAllImage(), "ok");
  EXPECT_EQ(api.isRecycled(id), "ok");  // gone from the registry at once
  EXPECT_EQ(handle->getWidth(), 3);     // the matrix itself still open
  for (int i = 0; i < 100 && handle->getWidth() != 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(handle->getWidth(), 0);
  const std::string after = api.addImage(test::solidImage(3, 3, rgb(1, 2, 3)));
  EXPECT_EQ(api.isRecycled(after), "");
}

TEST(MatrixConversions, MakeMatAndBack) {
  test::CapturedOutput console;
  EXPECT_FALSE(FindColorMatBridge::makeMat(nullptr));
  EXPECT_EQ(console.lines.back(), "UIImageToMat image 1-null");
  EXPECT_FALSE(FindColorMatBridge::makeMat(platform::PlatformImage::over(nullptr)));
  EXPECT_EQ(console.lines.back(), "UIImageToMat CGImage 2-null");
  const auto one = FindColorMatBridge::makeMat(test::solidImage(1, 1, rgb(9, 8, 7)));
  ASSERT_TRUE(one);
  EXPECT_EQ(one->type(), 16);
  EXPECT_EQ(one->getMatColorHex(0, 0), "90807");
  const auto back = FindColorMatBridge::matConvertUIImage(*one->getNativeAdr());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->bitmap()->rgba, (std::vector<std::uint8_t>{9, 8, 7, 255}));
  // A one-channel matrix becomes a gray image.
  const auto gray = FindColorMatBridge::handleFor(cv::Mat(2, 2, CV_8UC1, cv::Scalar(77)));
  const auto grayImage = FindColorMatBridge::matConvertUIImage(*gray->getNativeAdr());
  ASSERT_TRUE(grayImage);
  EXPECT_EQ(grayImage->bitmap()->rgba[0], 77);
}

}  // namespace
}  // namespace vistrel::native
