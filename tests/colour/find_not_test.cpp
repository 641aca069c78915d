#include "vistrel/colour/ColorFindNot.h"

#include <gtest/gtest.h>

#include "tests/support/TestImages.h"

namespace vistrel::colour {
namespace {

using test::rgb;

TEST(FindNotColor, AllNotEqualsReportsPixelsMatchingNoAlternative) {
  // Red, green, blue in a row.
  image::AutoImage image(test::makeImage(3, 1, [](int x, int) {
    return x == 0 ? rgb(255, 0, 0) : x == 1 ? rgb(0, 255, 0) : rgb(0, 0, 255);
  }));
  const ColorFindNot f;
  EXPECT_EQ(f.findNotColor(image, "FF0000,00FF00", 0.9f, 0, 0, 0, 0, 10, 2, false, true),
            R"([{"x":2,"y":0,"index":0}])");
  // Without the flag a pixel is reported once per alternative it does not match.
  EXPECT_EQ(
      f.findNotColor(image, "FF0000,00FF00", 0.9f, 0, 0, 0, 0, 10, 2, false, false),
      R"([{"x":0,"y":0,"index":0},{"x":1,"y":0,"index":0},{"x":2,"y":0,"index":0},{"x":2,"y":0,"index":0}])");
  // With `same` the matching alternatives are reported instead.
  EXPECT_EQ(f.findNotColor(image, "FF0000", 0.9f, 0, 0, 0, 0, 10, 2, true, false),
            R"([{"x":0,"y":0,"index":0}])");
}

TEST(FindNotColor, RectanglesUseImageCoordinates) {
  image::AutoImage image(test::solidImage(40, 40, rgb(1, 2, 3)));
  const ColorFindNot f;
  const std::string all =
      f.findNotColor(image, "FFFFFF", 0.9f, 10, 20, 5, 5, 1000, 2, false, false);
  EXPECT_TRUE(all.starts_with(R"([{"x":10,"y":20,"index":0},)")) << all;
  EXPECT_TRUE(all.ends_with(R"({"x":14,"y":24,"index":0}])")) << all;
  EXPECT_EQ(std::count(all.begin(), all.end(), '{'), 25);
  // A rectangle past the right edge is cut at the edge.
  const std::string cut = f.findNotColor(image, "FFFFFF", 0.9f, 38, 0, 5, 1, 1000, 2, false, true);
  EXPECT_EQ(cut, R"([{"x":38,"y":0,"index":0},{"x":39,"y":0,"index":0}])");
}

TEST(FindNotColor, OrdersLimitsAndUnusableRequests) {
  image::AutoImage image(test::solidImage(4, 3, rgb(1, 2, 3)));
  const ColorFindNot f;
  EXPECT_EQ(f.findNotColor(image, "FFFFFF", 0.9f, 0, 0, 0, 0, 1, 5, false, true),
            R"([{"x":3,"y":2,"index":0}])");
  EXPECT_EQ(f.findNotColor(image, "FFFFFF", 0.9f, 0, 0, 0, 0, 0, 1, false, false),
            R"([{"x":0,"y":0,"index":0}])");
  EXPECT_EQ(f.findNotColor(image, "010203", 0.9f, 0, 0, 0, 0, 10, 1, false, true), "");
  EXPECT_EQ(f.findNotColor(image, "", 0.9f, 0, 0, 0, 0, 10, 1, false, true), "");
  EXPECT_EQ(f.findNotColor(image, "FFFFFF", 0.9f, 0, 0, 0, 0, 10, 9, false, true), "");
  // x 10 with w 0 needs a cut of width 0.
  EXPECT_EQ(f.findNotColor(image, "FFFFFF", 0.9f, 10, 0, 0, 0, 10, 1, false, true), "");
  image::AutoImage empty(nullptr);
  EXPECT_EQ(f.findNotColor(empty, "FFFFFF", 0.9f, 0, 0, 0, 0, 10, 1, false, true), "");
}

TEST(FindNotColor, CutOfAnImageAtAnotherScaleReadsTheCopy) {
  // A 4 x 4 bitmap at scale 2 is 2 x 2 points; the cut takes bitmap pixels.
  const auto bitmap = test::makeImage(4, 4, [](int x, int) {
                        return x < 2 ? rgb(255, 0, 0) : rgb(0, 0, 255);
                      })->bitmap();
  image::AutoImage image(platform::PlatformImage::over(bitmap, 2.0));
  EXPECT_EQ(ColorFindNot().findNotColor(image, "FF0000", 0.9f, 1, 0, 1, 1, 10, 2, false, true), "");
}

}  // namespace
}  // namespace vistrel::colour
