#include "vistrel/image/Color.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vistrel::image {
namespace {

TEST(StringColor, WritesRedGreenBlue) {
  EXPECT_EQ(stringColor(4278190335), "#FF0000");
  EXPECT_EQ(stringColor(4294901760), "#0000FF");
  EXPECT_EQ(stringColor(0), "#000000");
  EXPECT_EQ(stringColor(-100), "#9CFFFF");
  EXPECT_EQ(stringColor(0x00123456), "#563412");
}

TEST(HexStr, ReadsHexadecimalColourTexts) {
  struct Case {
    const char* text;
    std::int64_t packed;
  };
  const Case cases[] = {
      {"ff0000", 0xFF0000FF},    {"ff", 0xFFFF0000},         {"0", 0xFF000000},
      {"#00ff00\n", 0xFF00FF00}, {"  #0000FF ", 0xFFFF0000}, {"", 0xFF000000},
      {"xyz", 0xFF000000},       {"12345678", 0xFF785634},
  };
  for (const auto& c : cases) EXPECT_EQ(Color::hexStr(c.text).rgb(), c.packed) << c.text;
}

TEST(Rgb, ChannelsBackAsExactBytesAndOutOfRangeAbsent) {
  for (int k = 0; k < 256; ++k) {
    const double v = k / 255.0;
    EXPECT_EQ(Color({v, v, v, 1.0}).rgb(), 0xFF000000LL | (k << 16) | (k << 8) | k) << k;
  }
  EXPECT_FALSE(Color({1.5, 0, 0, 1}).rgb());
  EXPECT_FALSE(Color({std::nan(""), 0, 0, 1}).rgb());
}

}  // namespace
}  // namespace vistrel::image
