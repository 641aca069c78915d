#include "vistrel/api/ImageFinderProcessor.h"

#include <gtest/gtest.h>

#include "tests/support/TestImages.h"
#include "vistrel/image/ImageManager.h"

namespace vistrel::api {
namespace {

using test::rgb;

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // 20 x 10, white, with a red pixel at (15, 5) and a green one at (2, 2).
    id = image::ImageManager::sharedInstance().addOnlyImage(
        test::makeImage(20, 10, [](int x, int y) {
          if (x == 15 && y == 5) return rgb(255, 0, 0);
          if (x == 2 && y == 2) return rgb(0, 255, 0);
          return rgb(255, 255, 255);
        }));
  }
  void TearDown() override { image::ImageManager::sharedInstance().recycleImage(id); }

  ImageFinderProcessor dispatcher;
  std::string id;
};

TEST_F(DispatcherTest, UnknownIdsAnswerTheirFailureValues) {
  EXPECT_EQ(dispatcher.findColor("NOPE", "FF0000", 0.9f, 0, 0, 0, 0, 5, 1), "");
  EXPECT_EQ(dispatcher.findColor("NOPE-mat", "FF0000", 0.9f, 0, 0, 0, 0, 5, 1), "-1");
  EXPECT_EQ(dispatcher.findMultiColor("NOPE-mat", "FF0000", "1|1|FFFFFF", 0.9f, 0, 0, 0, 0, 5, 1),
            "");
  EXPECT_EQ(dispatcher.findNotColor("NOPE-mat", "FF0000", 0.9f, 0, 0, 0, 0, 5, 1, false, false),
            "");
  EXPECT_EQ(dispatcher.cmpColor("NOPE", 0.9f, 0, 0, 0, 0, "1|1|FFFFFF"), -1);
  EXPECT_EQ(dispatcher.cmpColor("", 0.9f, 0, 0, 0, 0, "1|1|FFFFFF"), -1);
  EXPECT_EQ(dispatcher.cmpMultiColor("", "[]", 0.9f, 0, 0, 0, 0), -1);
}

TEST_F(DispatcherTest, CmpColorWithAnEmptyPointTextDoesNotLookAtTheImage) {
  EXPECT_EQ(dispatcher.cmpColor(id, 0.9f, 0, 0, 0, 0, ""), -1);
}

TEST_F(DispatcherTest, CmpColorWrapsOneGroupLikeCmpMultiColor) {
  for (const std::string points : {"15|5|FF0000", "15|5|00FF00", "2|2|00FF00,15|5|FF0000", "bad"}) {
    EXPECT_EQ(dispatcher.cmpColor(id, 0.9f, 0, 0, 0, 0, points),
              dispatcher.cmpMultiColor(id, "[\"" + points + "\"]", 0.9f, 0, 0, 0, 0))
        << points;
  }
  EXPECT_EQ(dispatcher.cmpColor(id, 0.9f, 0, 0, 0, 0, "15|5|FF0000"), 0);
}

TEST_F(DispatcherTest, ComparisonsIgnoreTheRegion) {
  for (const auto& region :
       {std::array<std::int64_t, 4>{0, 0, 0, 0}, {5, 5, 2, 2}, {-3, 0, 1, 1}}) {
    EXPECT_EQ(dispatcher.cmpMultiColor(id, R"(["2|2|00FF00"])", 0.9f, region[0], region[1],
                                       region[2], region[3]),
              0);
  }
}

TEST_F(DispatcherTest, AGroupHoldingADoubleQuoteCannotDecode) {
  test::CapturedOutput out;
  EXPECT_EQ(dispatcher.cmpColor(id, 0.9f, 0, 0, 0, 0, "15|5|FF0000\""), -1);
  EXPECT_EQ(out.lines.size(), 1u);
}

TEST_F(DispatcherTest, RegionIsNormalisedBeforeTheSearch) {
  // A negative x searches the whole image; a region past the edges is cut to them.
  EXPECT_EQ(dispatcher.findColor(id, "FF0000", 1.0f, -5, 0, 3, 3, 5, 2),
            R"([{"x":15,"y":5,"index":0}])");
  EXPECT_EQ(dispatcher.findColor(id, "FF0000", 1.0f, 10, 4, 500, 500, 5, 2),
            R"([{"x":15,"y":5,"index":0}])");
  EXPECT_EQ(dispatcher.findColor(id, "FF0000", 1.0f, 0, 0, 10, 10, 5, 2), "");
}

TEST_F(DispatcherTest, ImageSearchWithAMatrixTemplateFails) {
  EXPECT_EQ(dispatcher.findImageByColor(id, "T-mat", 0, 0, 0, 0, 0.9f, 5), "");
  EXPECT_EQ(dispatcher.findImageByColor("I-mat", id, 0, 0, 0, 0, 0.9f, 5), "");
}

TEST_F(DispatcherTest, SetMatLogAnswersOk) {
  EXPECT_EQ(dispatcher.setMatLog(1), "ok");
  EXPECT_EQ(dispatcher.setMatLog(0), "ok");
}

}  // namespace
}  // namespace vistrel::api
