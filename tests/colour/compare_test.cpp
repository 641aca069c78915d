#include "vistrel/colour/ColorFinder.h"

#include <gtest/gtest.h>

#include "tests/support/TestImages.h"

namespace vistrel::colour {
namespace {

using test::rgb;

class CmpMultiColorTest : public ::testing::Test {
 protected:
  // 4 x 3: red at (0, 0), green at (3, 2), white elsewhere; (1, 1) is half transparent.
  image::AutoImage image{test::makeImage(4, 3, [](int x, int y) {
    if (x == 0 && y == 0) return rgb(255, 0, 0);
    if (x == 3 && y == 2) return rgb(0, 255, 0);
    if (x == 1 && y == 1) return (0x80u << 24) | 0x00FFFFFFu;
    return rgb(255, 255, 255);
  })};
  ColorFinder finder;
};

TEST_F(CmpMultiColorTest, FirstMatchingGroup) {
  test::CapturedOutput out;
  struct Case {
    const char* label;
    const char* groups;
    float threshold;
    std::int64_t expected;
  };
  const Case cases[] = {
      {"one matching group", R"(["0|0|FF0000"])", 0.9f, 0},
      {"second group matches", R"(["0|0|00FF00", "0|0|FF0000,3|2|00FF00"])", 0.9f, 1},
      {"match before a malformed group", R"(["0|0|FF0000", "bad"])", 0.9f, 0},
      {"malformed group first", R"(["bad", "0|0|FF0000"])", 0.9f, -1},
      {"empty group first", R"(["", "0|0|FF0000"])", 0.9f, -1},
      {"empty array", R"([])", 0.9f, -1},
      {"x at the width fails, next group tried", R"(["4|0|FFFFFF", "1|0|FFFFFF"])", 0.9f, 1},
      {"negative coordinate fails", R"(["-1|0|FFFFFF"])", 0.9f, -1},
      {"exact with offset 000000", R"(["0|0|FE0000-000000"])", 1.0f, -1},
      {"offset widens exactly", R"(["0|0|FE0000-010000"])", 1.0f, 0},
      {"alpha never matters", R"(["1|1|808080"])", 1.0f, 0},
      {"malformed parts are dropped", R"(["0|0|FF0000,junk"])", 1.0f, 0},
      {"no allowance from the threshold", R"(["0|0|FF0000"])", 1e30f, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(finder.cmpMultiColor(image, c.groups, c.threshold), c.expected) << c.label;
  }
  EXPECT_TRUE(out.lines.empty());
}

TEST_F(CmpMultiColorTest, TextsThatAreNotAJsonArrayOfStringsWriteOneLine) {
  for (const char* text : {R"({"a": 1})", R"([1, 2])", "0|0|FF0000", R"(["0|0|FF0000")"}) {
    test::CapturedOutput out;
    EXPECT_EQ(finder.cmpMultiColor(image, text, 0.9f), -1) << text;
    EXPECT_EQ(out.lines.size(), 1u) << text;
  }
}

TEST(CmpMultiColor, NoPixelArrayGivesMinusOne) {
  image::AutoImage empty(nullptr);
  EXPECT_EQ(ColorFinder().cmpMultiColor(empty, R"(["0|0|FF0000"])", 0.9f), -1);
}

TEST(CmpOneLine, EmptyListHolds) {
  const image::PixelArray pix(1, 1);
  EXPECT_TRUE(ColorFinder::cmpOneLine(pix, {}, 0.9f));
}

}  // namespace
}  // namespace vistrel::colour
