#include "vistrel/image/AutoImage.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/support/TestImages.h"

namespace vistrel::image {
namespace {

using test::rgb;

TEST(PixelArray, RedThenBlue) {
  AutoImage image(
      test::makeImage(2, 1, [](int x, int) { return x == 0 ? rgb(255, 0, 0) : rgb(0, 0, 255); }));
  const auto array = image.toArray2();
  ASSERT_TRUE(array);
  EXPECT_EQ(array->width(), 2);
  EXPECT_EQ(array->height(), 1);
  EXPECT_EQ(array->at(0, 0), 4278190335u);
  EXPECT_EQ(array->at(1, 0), 4294901760u);
}

TEST(PixelArray, ColoursArePremultiplied) {
  // Red 255 at alpha 204 reads as red 204, alpha 204.
  AutoImage image(test::solidImage(1, 1, (204u << 24) | 255u));
  EXPECT_EQ(image.toArray2()->at(0, 0), (204u << 24) | 204u);
}

TEST(PixelArray, OrientationIsNotApplied) {
  // A 4 x 2 bitmap, top row red and bottom row blue, marked "left", displays as 2 x 4: the array
  // is the bitmap stretched over the displayed size, not turned (turned, the colours would split
  // into a left and a right column).
  const auto img = test::makeImage(
      4, 2, [](int, int y) { return y == 0 ? rgb(255, 0, 0) : rgb(0, 0, 255); }, 1.0,
      platform::Orientation::left);
  EXPECT_EQ(imageWidth(img), 2);
  EXPECT_EQ(imageHeight(img), 4);
  const auto array = toArray2(img);
  ASSERT_TRUE(array);
  ASSERT_EQ(array->width(), 2);
  ASSERT_EQ(array->height(), 4);
  for (int x = 0; x < 2; ++x) {
    EXPECT_EQ(array->at(x, 0), rgb(255, 0, 0)) << x;
    EXPECT_EQ(array->at(x, 3), rgb(0, 0, 255)) << x;
  }
}

TEST(PixelArray, ScaleTruncatesTheSize) {
  const auto img = test::solidImage(5, 3, rgb(9, 9, 9));
  const auto scaled = platform::PlatformImage::over(img->bitmap(), 2.0);
  EXPECT_EQ(imageWidth(scaled), 2);
  EXPECT_EQ(imageHeight(scaled), 1);
  ASSERT_TRUE(toArray2(scaled));
}

TEST(PixelArray, NoImageOrEmptySizeGivesNone) {
  AutoImage empty(nullptr);
  EXPECT_FALSE(empty.toArray2());
  const auto tiny = platform::PlatformImage::over(test::solidImage(1, 1, 0)->bitmap(), 4.0);
  EXPECT_FALSE(toArray2(tiny));  // 0.25 x 0.25 points truncate to 0 x 0
}

TEST(PixelArray, RebuiltAfterBeingDroppedWhileHoldersKeepTheirs) {
  AutoImage image(test::solidImage(4, 4, rgb(10, 20, 30)));
  const auto first = image.toArray2();
  image.dropArray();
  EXPECT_EQ(first->at(3, 3), rgb(10, 20, 30));  // a running search keeps what it holds
  const auto again = image.toArray2();
  ASSERT_TRUE(again);
  EXPECT_NE(first.get(), again.get());
  EXPECT_EQ(again->at(3, 3), rgb(10, 20, 30));
  EXPECT_EQ(image.toArray2().get(), again.get());  // kept, not rebuilt on every call
}

TEST(PixelArray, ConcurrentFirstUseBuildsOneCompleteArray) {
  AutoImage image(test::makeImage(300, 200, [](int x, int y) {
    return rgb(static_cast<std::uint32_t>(x & 0xFF), static_cast<std::uint32_t>(y & 0xFF), 7);
  }));
  std::vector<PixelArrayPtr> seen(8);
  std::vector<std::thread> threads;
  for (auto& s : seen) threads.emplace_back([&] { s = image.toArray2(); });
  for (auto& t : threads) t.join();
  for (const auto& s : seen) {
    ASSERT_EQ(s.get(), seen[0].get());
    EXPECT_EQ(s->at(299, 199), rgb(299 & 0xFF, 199, 7));
  }
}

}  // namespace
}  // namespace vistrel::image
