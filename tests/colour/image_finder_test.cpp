#include "vistrel/colour/ColorImageFinder.h"

#include <gtest/gtest.h>

#include "tests/support/TestImages.h"

namespace vistrel::colour {
namespace {

using test::rgb;

constexpr std::uint32_t kWhite = rgb(255, 255, 255);
constexpr std::uint32_t kRed = rgb(255, 0, 0);

TEST(PatternBuilding, UniformCornersAreBackground) {
  // White 6 x 4 with one red pixel at column 3, row 2.
  const auto tmpl =
      test::makeImage(6, 4, [](int x, int y) { return x == 3 && y == 2 ? kRed : kWhite; });
  const auto info = ColorImageFinder::extraSubImageInfo(*image::toArray2(tmpl), std::nullopt);
  EXPECT_EQ(info.ignoreColor, kWhite);
  EXPECT_EQ(info.firstColor, kRed);
  EXPECT_EQ(info.cmpColorNum, 0u);
}

TEST(PatternBuilding, ColumnByColumnFromTheFirstColour) {
  // Corners white; red at (1, 2), green at (2, 0), blue at (2, 1).
  const auto tmpl = test::makeImage(4, 3, [](int x, int y) {
    if (x == 1 && y == 2) return kRed;
    if (x == 2 && y == 0) return rgb(0, 255, 0);
    if (x == 2 && y == 1) return rgb(0, 0, 255);
    return kWhite;
  });
  const auto info = ColorImageFinder::extraSubImageInfo(*image::toArray2(tmpl), 0x050505);
  EXPECT_EQ(info.firstColor, kRed);
  ASSERT_TRUE(info.colorPointArray);
  EXPECT_EQ(*info.colorPointArray,
            (std::vector<PointEntry>{{1, -2, 0x00FF00, 0x050505}, {1, -1, 0xFF0000, 0x050505}}));
}

TEST(PatternBuilding, DifferentCornersTakeEveryPixel) {
  const auto tmpl = test::makeImage(2, 2, [](int x, int y) {
    return rgb(static_cast<std::uint32_t>(x * 100), static_cast<std::uint32_t>(y * 100), 0);
  });
  const auto info = ColorImageFinder::extraSubImageInfo(*image::toArray2(tmpl), std::nullopt);
  EXPECT_FALSE(info.ignoreColor);
  EXPECT_EQ(info.firstColor, rgb(0, 0, 0));
  EXPECT_EQ(info.cmpColorNum, 4u);
  EXPECT_EQ(info.colorPointArray->front(), (PointEntry{0, 0, 0, 0}));  // the first pixel too
}

TEST(PatternBuilding, AllBackgroundHasNoFirstColour) {
  const auto info = ColorImageFinder::extraSubImageInfo(
      *image::toArray2(test::solidImage(3, 3, kWhite)), std::nullopt);
  EXPECT_FALSE(info.firstColor);
}

TEST(MismatchTolerance, SinglePrecision) {
  EXPECT_EQ(ColorImageFinder::mismatchTolerance(100, 0.9f), 10);
  EXPECT_EQ(ColorImageFinder::mismatchTolerance(10, 0.95f), 0);
  EXPECT_EQ(ColorImageFinder::mismatchTolerance(100, 1.0f), 0);
  EXPECT_EQ(ColorImageFinder::mismatchTolerance(100, 2.0f), 0);
  EXPECT_EQ(ColorImageFinder::mismatchTolerance(100, 0.0f), 100);
  EXPECT_EQ(ColorImageFinder::mismatchTolerance(100, std::numeric_limits<float>::quiet_NaN()), 0);
}

class ImageSearch : public ::testing::Test {
 protected:
  // A 3 x 3 template with four different corners, placed at (5, 4) and at (12, 1) in a gray
  // 20 x 10 image.
  static std::uint32_t tmplPixel(int x, int y) {
    return rgb(static_cast<std::uint32_t>(40 + x * 70), static_cast<std::uint32_t>(40 + y * 70),
               90);
  }
  image::AutoImage tmpl{test::makeImage(3, 3, tmplPixel)};
  image::AutoImage screen{test::makeImage(20, 10, [](int x, int y) {
    if (x >= 5 && x < 8 && y >= 4 && y < 7) return tmplPixel(x - 5, y - 4);
    if (x >= 12 && x < 15 && y >= 1 && y < 4) return tmplPixel(x - 12, y - 1);
    return rgb(128, 128, 128);
  })};
  ColorImageFinder finder;
};

TEST_F(ImageSearch, FindsEveryOccurrenceRowByRow) {
  EXPECT_EQ(finder.findImageByColor(screen, tmpl, 0.95f, 0, 0, 0, 0, 10),
            R"([{"x":12,"y":1,"index":0},{"x":5,"y":4,"index":0}])");
  EXPECT_EQ(finder.findImageByColor(screen, tmpl, 0.95f, 0, 0, 0, 0, 1),
            R"([{"x":12,"y":1,"index":0}])");
}

TEST_F(ImageSearch, RectanglesReportImageCoordinatesAndCutOccurrencesAreNotFound) {
  EXPECT_EQ(finder.findImageByColor(screen, tmpl, 0.95f, 4, 3, 10, 5, 10),
            R"([{"x":5,"y":4,"index":0}])");
  EXPECT_EQ(finder.findImageByColor(screen, tmpl, 0.95f, 6, 3, 10, 5, 10), "");
}

TEST_F(ImageSearch, ExWithFullShareBehavesLikeThePlainSearch) {
  EXPECT_EQ(finder.findImageByColorEx(screen, tmpl, 0, 0, 0, 0, 10, "#000000", 0.95f, "#000000",
                                      0.95f, 1.0f),
            finder.findImageByColor(screen, tmpl, 0.95f, 0, 0, 0, 0, 10));
}

TEST(ImageSearchEx, ToleratesFewerMismatchesThanTheTolerance) {
  // A 10 x 10 template with different corners: 100 entries; share 0.9 tolerates 9 mismatches.
  const auto tmplPixel = [](int x, int y) {
    return rgb(static_cast<std::uint32_t>(x * 25), static_cast<std::uint32_t>(y * 25), 200);
  };
  image::AutoImage tmpl(test::makeImage(10, 10, tmplPixel));
  const auto withMismatches = [&](int count) {
    return test::makeImage(10, 10, [&](int x, int y) {
      return y * 10 + x > 0 && y * 10 + x <= count ? rgb(255, 255, 0) : tmplPixel(x, y);
    });
  };
  const ColorImageFinder finder;
  image::AutoImage nine(withMismatches(9));
  image::AutoImage ten(withMismatches(10));
  EXPECT_EQ(finder.findImageByColorEx(nine, tmpl, 0, 0, 0, 0, 5, "", 1.0f, "", 1.0f, 0.9f),
            R"([{"x":0,"y":0,"index":0}])");
  EXPECT_EQ(finder.findImageByColorEx(ten, tmpl, 0, 0, 0, 0, 5, "", 1.0f, "", 1.0f, 0.9f), "");
}

TEST(ImageSearchBackground, IconOnAnyBackdropIsFoundAtItsFirstColour) {
  image::AutoImage tmpl(
      test::makeImage(6, 4, [](int x, int y) { return x == 3 && y == 2 ? kRed : kWhite; }));
  image::AutoImage screen(test::makeImage(8, 8, [](int x, int y) {
    return (x == 1 && y == 1) || (x == 6 && y == 5) ? kRed : rgb(0, 0, 90);
  }));
  EXPECT_EQ(ColorImageFinder().findImageByColor(screen, tmpl, 0.9f, 0, 0, 0, 0, 10),
            R"([{"x":1,"y":1,"index":0},{"x":6,"y":5,"index":0}])");
  // Limit 0 looks at the first pixel only.
  EXPECT_EQ(ColorImageFinder().findImageByColor(screen, tmpl, 0.9f, 0, 0, 0, 0, 0), "");
}

TEST(ImageSearchFailures, UnusableInputs) {
  image::AutoImage empty(nullptr);
  image::AutoImage white(test::solidImage(3, 3, kWhite));
  const ColorImageFinder finder;
  EXPECT_EQ(finder.findImageByColor(white, white, 0.9f, 0, 0, 0, 0, 5), "");  // all background
  EXPECT_EQ(finder.findImageByColor(empty, white, 0.9f, 0, 0, 0, 0, 5), "");
  EXPECT_EQ(finder.findImageByColor(white, empty, 0.9f, 0, 0, 0, 0, 5), "");
  image::AutoImage tmpl(test::makeImage(2, 2, [](int x, int) { return x ? kRed : kWhite; }));
  EXPECT_EQ(finder.findImageByColor(white, tmpl, 1e30f, 0, 0, 0, 0, 5), "");
  // A template larger than the image is never found.
  image::AutoImage small(test::makeImage(1, 1, [](int, int) { return kWhite; }));
  EXPECT_EQ(finder.findImageByColor(small, tmpl, 0.9f, 0, 0, 0, 0, 5), "");
}

}  // namespace
}  // namespace vistrel::colour
