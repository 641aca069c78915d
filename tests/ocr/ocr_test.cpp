#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"
#include "vistrel/ocr/VisionOcr.h"
#include "vistrel/platform/TextRecognizer.h"

namespace vistrel::ocr {
namespace {

using nlohmann::json;

platform::ImagePtr fixture(const char* name) {
  return platform::PlatformImage::fromFile(std::string(VISTREL_TEST_DATA) + "/" + name);
}

std::string run(const platform::ImagePtr& image, const std::string& options) {
  VisionOcr ocr;
  ocr.initOcr(options);
  return ocr.ocr(image);
}

TEST(OcrOptions, LevelsAndLanguages) {
  VisionOcr ocr;
  ocr.initOcr("");
  EXPECT_TRUE(ocr.options().fast);
  EXPECT_EQ(ocr.options().languages, (std::vector<std::string>{"zh-Hans", "en-US"}));
  EXPECT_TRUE(ocr.options().languageCorrection);
  ocr.initOcr(R"({"level": "accurate"})");
  EXPECT_FALSE(ocr.options().fast);
  EXPECT_EQ(ocr.options().languages.size(), 2u);
  ocr.initOcr(R"({"languages": "en-US"})");
  EXPECT_FALSE(ocr.options().fast);
  EXPECT_EQ(ocr.options().languages, (std::vector<std::string>{"en-US"}));
  ocr.initOcr(R"({"level": "fast", "languages": "ja-JP, en"})");
  EXPECT_TRUE(ocr.options().fast);
  EXPECT_EQ(ocr.options().languages, (std::vector<std::string>{"ja-JP", " en"}));
}

TEST(OcrLanguages, PlatformCodesToInstalledTesseractNames) {
  using platform::TextRecognizer;
  EXPECT_EQ(TextRecognizer::tesseractLanguages({"zh-Hans", "en-US"}), "chi_sim+eng");
  EXPECT_EQ(TextRecognizer::tesseractLanguages({"en-GB", "en"}), "eng");
  EXPECT_EQ(TextRecognizer::tesseractLanguages({"xx-YY"}), "eng");
  EXPECT_EQ(TextRecognizer::tesseractLanguages({}), "eng");
  if (!TextRecognizer::installed("jpn")) {
    EXPECT_EQ(TextRecognizer::tesseractLanguages({"ja-JP"}), "eng");  // not installed: skipped
  }
}

TEST(OcrResult, FlipsTheBoxToATopLeftOrigin) {
  platform::TextObservation ok;
  ok.text = "OK";
  ok.confidence = 0.5f;
  ok.x = 0.25, ok.y = 0.25, ok.width = 0.5, ok.height = 0.125;
  const json lines = json::parse(VisionOcr::detectTextHandler({ok}, 100, 200));
  EXPECT_EQ(
      lines,
      json::parse(R"([{"label":"OK","confidence":0.5,"x":25,"y":125,"width":50,"height":25}])"));
  platform::TextObservation unnamed;
  EXPECT_FALSE(json::parse(VisionOcr::detectTextHandler({unnamed}, 10, 10))[0].contains("label"));
  EXPECT_EQ(VisionOcr::detectTextHandler({}, 10, 10), "[]");
}

// Lines of the English fixture: drawn at these boxes (left, top, right, bottom).
struct Drawn {
  const char* text;
  int left, top, right, bottom;
};
constexpr Drawn kEnglish[] = {{"Open Settings", 60, 58, 344, 96},
                              {"Battery 87 percent", 60, 178, 438, 216},
                              {"Sign Out", 60, 298, 233, 336}};

void expectEnglish(const std::string& answer, const char* level) {
  const json lines = json::parse(answer);
  ASSERT_EQ(lines.size(), 3u) << level << answer;
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& line = lines[i];
    const Drawn& d = kEnglish[i];
    EXPECT_EQ(line["label"], d.text) << level;
    EXPECT_NEAR(line["x"].get<int>(), d.left, 6) << level << d.text;
    EXPECT_NEAR(line["y"].get<int>(), d.top, 8) << level << d.text;
    EXPECT_NEAR(line["x"].get<int>() + line["width"].get<int>(), d.right, 8) << level << d.text;
    EXPECT_NEAR(line["y"].get<int>() + line["height"].get<int>(), d.bottom, 12) << level << d.text;
    const double confidence = line["confidence"];
    EXPECT_GT(confidence, 0.5);
    EXPECT_LE(confidence, 1.0);
  }
}

TEST(Ocr, EnglishLinesInOrderAtBothLevels) {
  const auto image = fixture("ocr_english.png");
  ASSERT_TRUE(image);
  expectEnglish(run(image, R"({"level": "fast", "languages": "en-US"})"), "fast");
  expectEnglish(run(image, R"({"level": "accurate", "languages": "en-US"})"), "accurate");
}

TEST(Ocr, SimplifiedChinese) {
  const json lines = json::parse(
      run(fixture("ocr_chinese.png"), R"({"level": "accurate", "languages": "zh-Hans"})"));
  ASSERT_EQ(lines.size(), 2u);
  // Tesseract may space CJK characters apart.
  const auto plain = [](std::string s) {
    std::erase(s, ' ');
    return s;
  };
  EXPECT_EQ(plain(lines[0]["label"]), "设置");
  EXPECT_EQ(plain(lines[1]["label"]), "无线局域网");
  EXPECT_NEAR(lines[1]["y"].get<int>(), 206, 10);
}

TEST(Ocr, NoTextTinyAndMissingImages) {
  EXPECT_EQ(run(fixture("ocr_blank.png"), ""), "[]");
  EXPECT_EQ(run(test::solidImage(1, 1, test::rgb(0, 0, 0)), ""), "[]");
  EXPECT_EQ(run(nullptr, ""), "");
  EXPECT_EQ(run(platform::PlatformImage::over(nullptr), ""), "");
}

TEST(Ocr, CallSurface) {
  auto& api = api::AutoApi::getInstance();
  test::CapturedOutput console;
  const std::string id = api.addImage(fixture("ocr_english.png"));
  EXPECT_EQ(api.setInitOcr(R"({"extra": "{\"languages\": \"en-US\"}"})"), "ok");
  expectEnglish(api.ocrImage(R"({"imageId": ")" + id + R"(", "extra": "ignored"})"),
                "call surface");
  EXPECT_EQ(api.setInitOcr(R"({"type": "x"})"), "ok");  // no extra: the options stay
  EXPECT_EQ(api.setInitOcr("not json"), "ok");
  EXPECT_EQ(api.ocrImage(R"({"imageId": "UNKNOWN"})"), "");
  EXPECT_EQ(api.ocrImage("{}"), "");
  EXPECT_EQ(api.ocrImage("[]"), "");
  EXPECT_EQ(api.setOcrType("x"), "ok");
  EXPECT_EQ(api.releaseAllOcr("x"), "ok");
  EXPECT_EQ(api.getOcrErrorMsg("x"), "");
  // Matrix images are read through their platform image.
  const std::string matrix = api.imageToMatFormat(R"({"uuid": ")" + id + R"("})");
  expectEnglish(api.ocrImage(R"({"imageId": ")" + matrix + R"("})"), "matrix");
  api.setInitOcr(R"({"extra": ""})");
}

TEST(Ocr, TwoThreadsAtOnceBothRight) {
  const auto image = fixture("ocr_english.png");
  std::string first, second;
  std::thread a([&] { first = run(image, R"({"level": "fast", "languages": "en-US"})"); });
  std::thread b([&] { second = run(image, R"({"level": "fast", "languages": "en-US"})"); });
  a.join();
  b.join();
  expectEnglish(first, "thread 1");
  expectEnglish(second, "thread 2");
}

}  // namespace
}  // namespace vistrel::ocr
