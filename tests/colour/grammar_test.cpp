#include "vistrel/colour/ColorUtils.h"

#include <gtest/gtest.h>

namespace vistrel::colour {
namespace {

constexpr std::int64_t kRed = 0xFF0000FF;  // alpha 255, red 255

TEST(ParseColor, ColourTexts) {
  struct Case {
    const char* text;
    std::int64_t packed;
  };
  const Case cases[] = {
      {"FF0000", kRed},
      {"ff0000", kRed},
      {"#FF0000", kRed},
      {"0xff0000", kRed},
      {" FF0000\n", kRed},
      {"0X#12AB34", 0xFF34AB12},
      {"FF00007F", kRed},  // characters after the sixth are ignored
      {"000000", 0xFF000000},
      {"0X000000", 0xFF000000},
      {"0x000000", 0},  // the two exact black texts
      {"#000000", 0},
      {" #000000", 0xFF000000},  // not exact: trimmed, then parsed
      {"", 0},
      {"12345", 0},
      {"#12345", 0},
      {"G10000", 0xFF000000},  // a group with no digit at its start reads 0
      {"1G0000", 0xFF000001},  // reading stops at the first non-digit
      {" F0000", 0},           // trimmed to five characters
      {"F 0000", 0xFF00000F},  // "F " reads F; no trimming inside
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColorUtils::parseColor(c.text), c.packed) << '"' << c.text << '"';
  }
}

TEST(SplitColorParamString, ColourAndOffset) {
  EXPECT_EQ(ColorUtils::splitColorParamString("FF0000"), (ColorPair{kRed, 0}));
  EXPECT_EQ(ColorUtils::splitColorParamString("FF0000-0A0A0A-1E1E1E"),
            (ColorPair{kRed, 0xFF0A0A0A}));
  EXPECT_EQ(ColorUtils::splitColorParamString(""), (ColorPair{0, 0}));
  EXPECT_EQ(ColorUtils::splitColorParamString("-0A0A0A"), (ColorPair{0, 0xFF0A0A0A}));
}

TEST(ParsePointsStringForFindColor, EveryPartIsAPair) {
  EXPECT_FALSE(ColorUtils::parsePointsStringForFindColor(""));
  EXPECT_EQ(ColorUtils::parsePointsStringForFindColor(","),
            (std::vector<ColorPair>{{0, 0}, {0, 0}}));
  EXPECT_EQ(ColorUtils::parsePointsStringForFindColor("FF0000,00FF00-010101"),
            (std::vector<ColorPair>{{kRed, 0}, {0xFF00FF00, 0xFF010101}}));
  EXPECT_EQ(ColorUtils::parsePointsStringForFindColor("FF0000,")->size(), 2u);
}

TEST(SplitColorForPointString, ValidAndInvalidPointTexts) {
  struct Case {
    const char* text;
    std::optional<PointEntry> entry;
  };
  const Case cases[] = {
      {"10|-4|00FF00-050505", PointEntry{10, -4, 0xFF00FF00, 0xFF050505}},
      {"+3|0|FF0000", PointEntry{3, 0, kRed, 0}},
      {"1|2|", PointEntry{1, 2, 0, 0}},
      {"", std::nullopt},
      {"1|2", std::nullopt},
      {"1|2|3|4", std::nullopt},
      {"a|2|FF0000", std::nullopt},
      {"|2|FF0000", std::nullopt},
      {" 1|2|FF0000", std::nullopt},
      {"1.5|2|FF0000", std::nullopt},
      {"99999999999999999999|2|FF0000", std::nullopt},
      {"-|2|FF0000", std::nullopt},
      {"+-1|2|FF0000", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColorUtils::splitColorForPointString(c.text), c.entry) << c.text;
  }
}

TEST(ParsePointsString, MalformedPartsAreLeftOut) {
  EXPECT_EQ(ColorUtils::parsePointsString("1|2|FF0000,bad,3|4|00FF00")->size(), 2u);
  EXPECT_EQ(ColorUtils::parsePointsString("bad"), std::vector<PointEntry>{});
  EXPECT_FALSE(ColorUtils::parsePointsString(""));
}

TEST(Allowance, SinglePrecisionProducts) {
  const std::pair<float, std::int64_t> cases[] = {
      {1.0f, 0},   {0.99f, 3},  {0.95f, 13},  {0.9f, 26},   {0.85f, 39},   {0.8f, 51},   {0.7f, 77},
      {0.5f, 128}, {0.0f, 255}, {2.0f, -255}, {-1.0f, 510}, {1e6f, -1024}, {-1e6f, 1024}};
  for (const auto& [threshold, t] : cases) {
    EXPECT_EQ(ColorUtils::allowance(threshold), t) << threshold;
  }
  // No allowance can be formed where the product leaves the 64-bit range or is not a number.
  EXPECT_FALSE(ColorUtils::allowance(1e30f));
  EXPECT_FALSE(ColorUtils::allowance(-1e30f));
  EXPECT_FALSE(ColorUtils::allowance(std::numeric_limits<float>::quiet_NaN()));
  EXPECT_FALSE(ColorUtils::allowance(std::numeric_limits<float>::infinity()));
}

TEST(ColorCompare, AllowanceAndOffset) {
  EXPECT_TRUE(ColorUtils::colorCompare(100, 126, 0, 0.9f));
  EXPECT_FALSE(ColorUtils::colorCompare(100, 127, 0, 0.9f));
  EXPECT_TRUE(ColorUtils::colorCompare(126, 100, 0, 0.9f));  // either role
  EXPECT_TRUE(ColorUtils::colorCompare(100, 105, 5, 1.0f));
  EXPECT_FALSE(ColorUtils::colorCompare(100, 106, 5, 1.0f));
  EXPECT_TRUE(ColorUtils::colorCompare(0, 255, 0, 0.0f));
  EXPECT_FALSE(ColorUtils::colorCompare(10, 10, 0, 1.5f));  // a negative allowance matches nothing
  EXPECT_FALSE(ColorUtils::colorCompare(10, 10, 0, 1e30f));
}

TEST(CmpColor, EveryChannelMustMatch) {
  EXPECT_TRUE(ColorUtils::cmpColor({10, 20, 30}, {12, 18, 30}, {0, 0, 0}, 0.99f));
  EXPECT_FALSE(ColorUtils::cmpColor({10, 20, 30}, {10, 20, 34}, {0, 0, 0}, 0.99f));
  EXPECT_TRUE(ColorUtils::cmpColor({10, 20, 30}, {10, 20, 34}, {0, 0, 1}, 0.99f));
}

}  // namespace
}  // namespace vistrel::colour
