#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <random>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"
#include "vistrel/image/ImageManager.h"
#include "vistrel/native/FindColorMatBridge.h"
#include "vistrel/native/Matmap.h"
#include "vistrel/native/OpenCvMatchMat.h"

namespace vistrel::native {
namespace {

using nlohmann::json;

// Textured noise, so that every window differs from every other.
cv::Mat noise(int w, int h, int seed) {
  cv::Mat m(h, w, CV_8UC3);
  cv::RNG rng(static_cast<std::uint64_t>(seed));
  rng.fill(m, cv::RNG::UNIFORM, 0, 256);
  cv::GaussianBlur(m, m, cv::Size(5, 5), 1.5);
  return m;
}

TEST(PyramidLevel, BoundariesAndCap) {
  const std::pair<int, int> cases[] = {{31, 0},   {32, 1},   {63, 1},   {64, 2},  {127, 2},
                                       {128, 3},  {255, 3},  {256, 4},  {511, 4}, {512, 5},
                                       {1023, 5}, {1024, 6}, {5000, 6}, {1, 0}};
  for (const auto& [side, level] : cases) {
    EXPECT_EQ(OpenCvMatchMat::selectPyramidLevel(cv::Mat(6000, 6000, CV_8UC1),
                                                 cv::Mat(side, side + 5, CV_8UC1)),
              level)
        << side;
  }
  EXPECT_EQ(OpenCvMatchMat::getPyramidDownAtLevel(cv::Mat(101, 51, CV_8UC3), 2).size(),
            cv::Size(13, 26));
}

class Matching : public ::testing::Test {
 protected:
  // Three copies of a textured 100 x 70 patch, fainter each time, in a 600 x 400 noise image.
  void SetUp() override {
    image = noise(600, 400, 1);
    patch = noise(100, 70, 2);
    patch.copyTo(image(cv::Rect(40, 30, 100, 70)));
    cv::Mat faint;
    cv::addWeighted(patch, 0.9, noise(100, 70, 3), 0.1, 0, faint);
    faint.copyTo(image(cv::Rect(400, 60, 100, 70)));
    cv::addWeighted(patch, 0.8, noise(100, 70, 4), 0.2, 0, faint);
    faint.copyTo(image(cv::Rect(240, 300, 100, 70)));
  }
  cv::Mat image, patch;
  OpenCvMatchMat matcher;
};

TEST_F(Matching, LimitsAndFallingScores) {
  const json three =
      json::parse(matcher.templateMatching(image, patch, 5, 0.5f, 0.5f, 0, 3, 0, 0, 0, 0));
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[0]["point"], json::parse(R"({"x":40,"y":30})"));
  EXPECT_EQ(three[1]["point"], json::parse(R"({"x":400,"y":60})"));
  EXPECT_EQ(three[2]["point"], json::parse(R"({"x":240,"y":300})"));
  EXPECT_GT(three[0]["similarity"].get<double>(), three[1]["similarity"].get<double>());
  for (const int limit : {0, 1}) {
    EXPECT_EQ(
        json::parse(matcher.templateMatching(image, patch, 5, 0.5f, 0.5f, 0, limit, 0, 0, 0, 0))
            .size(),
        1u);
  }
}

TEST_F(Matching, AutomaticLevelReportsMultiplesOfItsScale) {
  // The smallest side is 70: level 2, positions multiples of 4 near the true one.
  const json found =
      json::parse(matcher.findImage0(image, patch, 5, 0.5f, 0.5f, -1, 1, 0, 0, 0, 0));
  ASSERT_EQ(found.size(), 1u);
  const int left = found[0]["left"], top = found[0]["top"];
  EXPECT_EQ(left % 4, 0);
  EXPECT_EQ(top % 4, 0);
  EXPECT_LE(std::abs(left - 40), 4);
  EXPECT_LE(std::abs(top - 30), 4);
  EXPECT_EQ(found[0]["right"].get<int>() - left, 100);
  EXPECT_EQ(found[0]["bottom"].get<int>() - top, 70);
}

TEST_F(Matching, RegionsAddTheirOffset) {
  const json found =
      json::parse(matcher.templateMatching(image, patch, 5, 0.9f, 0.9f, 0, 1, 10, 20, 200, 150));
  EXPECT_EQ(found[0]["point"], json::parse(R"({"x":40,"y":30})"));
  // A region narrower than the template: "".
  EXPECT_EQ(matcher.templateMatching(image, patch, 5, 0.9f, 0.9f, 0, 1, 10, 20, 50, 150), "");
  // w 0 or a negative x: the whole image.
  EXPECT_EQ(json::parse(matcher.templateMatching(image, patch, 5, 0.9f, 0.9f, 0, 1, -1, 20, 50,
                                                 150))[0]["point"]["x"],
            40);
}

TEST_F(Matching, FailureAnswers) {
  EXPECT_EQ(matcher.templateMatching(patch, image, 5, 0.9f, 0.9f, 0, 1, 0, 0, 0, 0), "");
  EXPECT_EQ(
      matcher.templateMatching(cv::Mat(70, 99, CV_8UC3), patch, 5, 0.9f, 0.9f, -1, 1, 0, 0, 0, 0),
      "");
  EXPECT_EQ(matcher.templateMatching(image, noise(100, 70, 9), 5, 0.99f, 0.99f, 0, 1, 0, 0, 0, 0),
            "null");
  EXPECT_EQ(matcher.templateMatching(image, patch, 9, 0.9f, 0.9f, 0, 1, 0, 0, 0, 0), "");
  EXPECT_EQ(matcher.templateMatching(cv::Mat(400, 600, CV_8UC2), cv::Mat(10, 10, CV_8UC2), 5, 0.9f,
                                     0.9f, 0, 1, 0, 0, 0, 0),
            "");
}

TEST_F(Matching, EqualSizesAndSquaredDifferences) {
  const json same =
      json::parse(matcher.templateMatching(patch, patch, 5, 0.9f, 0.9f, -1, 1, 0, 0, 0, 0));
  EXPECT_EQ(same[0]["point"], json::parse(R"({"x":0,"y":0})"));
  EXPECT_NEAR(same[0]["similarity"].get<double>(), 1.0, 1e-4);
  // Squared differences report 1 - the normalised difference, so thresholds keep their meaning.
  for (const int method : {0, 1}) {
    const json sq =
        json::parse(matcher.templateMatching(image, patch, method, 0.9f, 0.9f, 0, 1, 0, 0, 0, 0));
    EXPECT_EQ(sq[0]["point"], json::parse(R"({"x":40,"y":30})")) << method;
    EXPECT_NEAR(sq[0]["similarity"].get<double>(), 1.0, 1e-4) << method;
  }
}

TEST_F(Matching, AttemptsAtMostOneLevelLower) {
  // Nothing above the weak threshold at level 1: no level-0 attempt; at level 3 one more at 2.
  EXPECT_EQ(matcher.fastTemplateMatching(image, patch, 5, 1.01f, 0.5f, 1, 1).size(), 0u);
  EXPECT_EQ(matcher.fastTemplateMatching(image, patch, 5, 0.5f, 0.5f, -2, 1).size(), 0u);
}

TEST_F(Matching, ChannelHarmonisation) {
  cv::Mat image4;
  cv::cvtColor(image, image4, cv::COLOR_BGR2BGRA);
  EXPECT_EQ(json::parse(matcher.templateMatching(image4, patch, 5, 0.9f, 0.9f, 0, 1, 0, 0, 0,
                                                 0))[0]["point"]["x"],
            40);
  cv::Mat patch4;
  cv::cvtColor(patch, patch4, cv::COLOR_BGR2BGRA);
  EXPECT_EQ(json::parse(matcher.templateMatching(image4, patch4, 5, 0.9f, 0.9f, 0, 1, 0, 0, 0,
                                                 0))[0]["point"]["x"],
            40);
}

TEST(ShortestDoubles, SinglePrecisionSimilarityPrintsExactly) {
  EXPECT_EQ(json({{"similarity", double{0.95f}}}).dump(), R"({"similarity":0.949999988079071})");
}

TEST(GrayAndBinarization, WeightsAndOptions) {
  const cv::Mat red(4, 4, CV_8UC3, cv::Scalar(0, 0, 255));
  EXPECT_EQ(OpenCvMatchMat::grayImage(red).at<uchar>(0, 0), 76);
  const auto redImage = test::solidImage(4, 4, test::rgb(255, 0, 0));
  const auto grayPlatform = FindColorMatBridge().grayUIImageEx(redImage);
  ASSERT_TRUE(grayPlatform);
  EXPECT_EQ(grayPlatform->bitmap()->rgba[0], 29);
  EXPECT_TRUE(OpenCvMatchMat::grayImage(cv::Mat(2, 2, CV_8UC2)).empty());
  const cv::Mat one(3, 3, CV_8UC1, cv::Scalar(5));
  EXPECT_EQ(cv::countNonZero(OpenCvMatchMat::grayImage(one) != one), 0);

  // A dark square on a light field: binary, inverted, and with maxValue 1.
  cv::Mat field(40, 40, CV_8UC3, cv::Scalar(220, 220, 220));
  field(cv::Rect(10, 10, 20, 20)).setTo(cv::Scalar(20, 20, 20));
  const cv::Mat binary = OpenCvMatchMat::binaryzationEx(field, 0, 0, 7, 10, 0, 255);
  ASSERT_EQ(binary.type(), CV_8UC1);
  EXPECT_EQ(binary.at<uchar>(12, 12), 0);  // dark edge below its neighbourhood's mean
  EXPECT_EQ(binary.at<uchar>(0, 0), 255);
  const cv::Mat inverted = OpenCvMatchMat::binaryzationEx(field, 0, 0, 7, 10, 1, 255);
  EXPECT_EQ(inverted.at<uchar>(0, 0), 0);
  double most = 0;
  cv::minMaxLoc(OpenCvMatchMat::binaryzationEx(field, 0, 0, 7, 10, 0, 1), nullptr, &most);
  EXPECT_EQ(most, 1.0);
  // Options OpenCV rejects give no result instead of an error.
  EXPECT_TRUE(OpenCvMatchMat::binaryzationEx(field, 0, 0, 8, 10, 0, 255).empty());
  EXPECT_TRUE(OpenCvMatchMat::binaryzationEx(field, 0, 2, 7, 10, 0, 255).empty());
  EXPECT_TRUE(OpenCvMatchMat::binaryzationEx(field, 0, 0, 7, 10, 3, 255).empty());
}

TEST(CallSurfaceMatching, PixelIdsLeaveTheRegistryAsItWas) {
  auto& api = api::AutoApi::getInstance();
  test::CapturedOutput console;
  const auto screen = FindColorMatBridge::matToUIImage([] {
    cv::Mat rgb;
    cv::cvtColor(noise(300, 200, 5), rgb, cv::COLOR_BGR2RGB);
    return rgb;
  }());
  const std::string image = api.addImage(screen);
  const std::string tmpl =
      api.clip(R"({"imageId": ")" + image + R"(", "x": 100, "y": 48, "w": 64, "h": 64})");
  const std::size_t before = Matmap::instance().size();
  const json found = json::parse(
      api.findImage(R"({"imageId": ")" + image + R"(", "templateId": ")" + tmpl + R"("})"));
  EXPECT_EQ(found[0]["left"], 100);
  EXPECT_EQ(found[0]["top"], 48);  // level 2: multiples of 4
  EXPECT_EQ(Matmap::instance().size(), before);
  EXPECT_EQ(api.matchTemplate(R"({"imageId": ")" + image + R"(", "templateId": "UNKNOWN"})"), "");
  EXPECT_EQ(Matmap::instance().size(), before);
  // Gray and adaptive two levels, stored by mode.
  const std::string gray = api.grayImage(R"({"imageId": ")" + image + R"("})");
  EXPECT_EQ(gray.size(), 32u);
  api.useOpencvMat(R"({"use": 1})");
  const std::string two =
      api.binaryzationEx(R"({"imageId": ")" + image + R"(", "blockSize": "9"})");
  api.useOpencvMat(R"({"use": 0})");
  EXPECT_TRUE(two.ends_with("-mat"));  // a pixel image's result, stored by mode
  // A stored matrix's result is a one-channel matrix.
  const std::string matrix = api.imageToMatFormat(R"({"uuid": ")" + image + R"("})");
  const std::string matrixTwo = api.binaryzationEx(R"({"imageId": ")" + matrix + R"("})");
  ASSERT_TRUE(matrixTwo.ends_with("-mat"));
  const auto handle = image::ImageManager::sharedInstance().matManager().getMat(matrixTwo);
  EXPECT_EQ(handle->channels(), 1);
  EXPECT_EQ(handle->type(), 0);
  EXPECT_EQ(api.binaryzationEx(R"({"imageId": ")" + image + R"(", "blockSize": 8})"), "");
  EXPECT_EQ(api.grayImage(R"({"imageId": "UNKNOWN-mat"})"), "");
  EXPECT_EQ(api.grayImage("not json"), "");
}

}  // namespace
}  // namespace vistrel::native
