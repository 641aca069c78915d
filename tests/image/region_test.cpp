#include "vistrel/image/Region.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/support/TestImages.h"
#include "vistrel/image/AutoImage.h"

namespace vistrel::image {
namespace {

TEST(RegionCheck, FitsRegionsToA100By50Image) {
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  struct Case {
    const char* label;
    Region in;
    Region out;
  };
  const Case cases[] = {
      {"size 0 runs to the edges", {10, 10, 0, 0}, {10, 10, 90, 40}},
      {"the whole image", {0, 0, 100, 50}, {0, 0, 0, 0}},
      {"x beyond the image moves to 0", {150, 10, 20, 20}, {0, 10, 20, 20}},
      {"width cut at the right edge", {90, 0, 20, 10}, {90, 0, 10, 10}},
      {"too wide replaces both sizes", {10, 10, 200, 5}, {10, 10, 90, 40}},
      {"negative x is the whole image", {-1, 5, 10, 10}, {0, 0, 0, 0}},
      {"negative size", {5, 5, -3, 4}, {5, 5, 95, 45}},
      {"huge sizes", {1, 1, kMax, kMax}, {1, 1, 99, 49}},
      {"huge start", {kMax, kMax, 5, 5}, {0, 0, 5, 5}},
      {"all zero", {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(checkRegion(c.in.x, c.in.y, c.in.w, c.in.h, 100, 50), c.out) << c.label;
  }
}

TEST(RegionCheck, AnyRegionOfAnEmptyRecordIsWhole) {
  AutoImage empty(nullptr);
  EXPECT_EQ(AutoImage::checkXYWHAutoImage(10, 10, 5, 5, empty), Region{});
}

TEST(NeedClip, OnlyRegionsOtherThanTheWholeImage) {
  AutoImage image(test::solidImage(8, 6, test::rgb(1, 2, 3)));
  struct Case {
    Region region;
    bool need;
  };
  const Case cases[] = {{{0, 0, 0, 0}, false}, {{0, 0, 8, 6}, false}, {{0, 0, -1, -1}, false},
                        {{0, 0, 7, 0}, true},  {{0, 1, 0, 0}, true},  {{1, 0, 0, 0}, true},
                        {{0, 0, 0, 5}, true},  {{0, 0, 9, 6}, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(image.needClip(c.region.x, c.region.y, c.region.w, c.region.h), c.need)
        << c.region.x << "," << c.region.y << "," << c.region.w << "," << c.region.h;
  }
  AutoImage empty(nullptr);
  EXPECT_TRUE(empty.needClip(0, 0, 1, 0));
  EXPECT_FALSE(empty.needClip(0, 0, 0, 0));
}

}  // namespace
}  // namespace vistrel::image
