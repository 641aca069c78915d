#include "vistrel/platform/PlatformImage.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "tests/support/TestImages.h"
#include "vistrel/platform/Base64.h"

namespace vistrel::platform {
namespace {

using test::rgb;

// A JPEG carrying an EXIF block whose orientation tag is `tag` (big- or little-endian TIFF).
Bytes jpegWithOrientation(const ImagePtr& image, std::uint16_t tag, bool littleEndian) {
  Bytes jpeg = *image->jpegData(0.9);
  Bytes tiff = littleEndian
                   ? Bytes{'I',
                           'I',
                           0x2A,
                           0,
                           8,
                           0,
                           0,
                           0,
                           1,
                           0,
                           0x12,
                           0x01,
                           3,
                           0,
                           1,
                           0,
                           0,
                           0,
                           static_cast<std::uint8_t>(tag),
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0}
                   : Bytes{'M',  'M',  0, 0x2A, 0, 0, 0, 8, 0, 1,
                           0x01, 0x12, 0, 3,    0, 0, 0, 1, 0, static_cast<std::uint8_t>(tag),
                           0,    0,    0, 0,    0, 0};
  Bytes segment = {'E', 'x', 'i', 'f', 0, 0};
  segment.insert(segment.end(), tiff.begin(), tiff.end());
  const std::size_t length = segment.size() + 2;
  Bytes app1 = {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8),
                static_cast<std::uint8_t>(length & 0xFF)};
  app1.insert(app1.end(), segment.begin(), segment.end());
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
  return jpeg;
}

TEST(PlatformImage, PngRoundTripKeepsAlphaAndPixels) {
  const auto image = test::makeImage(3, 2, [](int x, int y) {
    return x == 2 && y == 1 ? (0x80u << 24) | rgb(10, 20, 30) : rgb(200, 100, 50);
  });
  const auto decoded = PlatformImage::decode(*image->pngData());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width(), 3);
  EXPECT_EQ(decoded->height(), 2);
  EXPECT_EQ(decoded->bitmap()->rgba, image->bitmap()->rgba);
}

TEST(PlatformImage, UndecodableBytesGiveNoImage) {
  EXPECT_FALSE(PlatformImage::decode(Bytes{}));
  EXPECT_FALSE(PlatformImage::decode(Bytes{1, 2, 3, 4, 5}));
  const Bytes text(100, 'a');
  EXPECT_FALSE(PlatformImage::decode(text));
  EXPECT_FALSE(PlatformImage::fromFile("/nonexistent/file.png"));
  EXPECT_FALSE(PlatformImage::fromRgba(2, 2, Bytes(15)));
  EXPECT_FALSE(PlatformImage::fromGray(0, 2, Bytes{}));
}

TEST(PlatformImage, JpegQualityOneIsTheEncodersBest) {
  const auto image = test::makeImage(64, 64, [](int x, int y) {
    return rgb(static_cast<std::uint32_t>(x * 4), static_cast<std::uint32_t>(y * 4), 128);
  });
  const auto best = image->jpegData(1.0);
  const auto low = image->jpegData(0.1);
  ASSERT_TRUE(best && low);
  EXPECT_GT(best->size(), low->size());
  cv::Mat bgr(64, 64, CV_8UC3);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x)
      bgr.at<cv::Vec3b>(y, x) =
          cv::Vec3b(128, static_cast<uchar>(y * 4), static_cast<uchar>(x * 4));
  }
  std::vector<uchar> reference;
  cv::imencode(".jpg", bgr, reference, {cv::IMWRITE_JPEG_QUALITY, 100});
  EXPECT_EQ(*best, Bytes(reference.begin(), reference.end()));
}

TEST(PlatformImage, ExifOrientationSetsTheMark) {
  const auto image = test::solidImage(6, 4, rgb(50, 60, 70));
  struct Case {
    std::uint16_t tag;
    Orientation orientation;
  };
  const Case cases[] = {{1, Orientation::up},         {3, Orientation::down},
                        {6, Orientation::right},      {8, Orientation::left},
                        {2, Orientation::upMirrored}, {9, Orientation::up}};
  for (const auto& c : cases) {
    for (const bool little : {false, true}) {
      const auto decoded = PlatformImage::decode(jpegWithOrientation(image, c.tag, little));
      ASSERT_TRUE(decoded) << c.tag;
      EXPECT_EQ(decoded->orientation(), c.orientation) << c.tag << (little ? " II" : " MM");
      EXPECT_EQ(decoded->bitmap()->width, 6);  // the pixels are as stored
    }
  }
  // Sideways marks swap the displayed size.
  const auto right = PlatformImage::decode(jpegWithOrientation(image, 6, false));
  EXPECT_EQ(right->width(), 4);
  EXPECT_EQ(right->height(), 6);
}

TEST(PlatformImage, CropIsCutToTheBitmap) {
  const auto image = test::makeImage(10, 5, [](int x, int y) {
    return rgb(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 0);
  });
  const auto inside = image->crop(2, 1, 3, 2);
  ASSERT_TRUE(inside);
  EXPECT_EQ(inside->width, 3);
  EXPECT_EQ(inside->height, 2);
  EXPECT_EQ(inside->rgba[0], 2);
  EXPECT_EQ(inside->rgba[1], 1);
  const auto edge = image->crop(8, 3, 100, 100);
  ASSERT_TRUE(edge);
  EXPECT_EQ(edge->width, 2);
  EXPECT_EQ(edge->height, 2);
  EXPECT_FALSE(image->crop(10, 0, 5, 5));
  EXPECT_FALSE(image->crop(0, 0, 0, 5));
  const auto huge = image->crop(-5, 0, std::numeric_limits<std::int64_t>::max(), 3);
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->width, 10);
}

TEST(PlatformImage, RedrawHonoursTheOrientation) {
  // 3 x 2 bitmap; turned right (clockwise) the top-left pixel is the bitmap's bottom-left.
  const auto bitmap =
      test::makeImage(3, 2, [](int x, int y) {
        return rgb(static_cast<std::uint32_t>(x * 100), static_cast<std::uint32_t>(y * 100), 0);
      })->bitmap();
  const auto right = PlatformImage::over(bitmap, 1.0, Orientation::right)->redraw(2, 3);
  ASSERT_TRUE(right);
  EXPECT_EQ(right->orientation(), Orientation::up);
  EXPECT_EQ(right->bitmap()->rgba[0], 0);    // x of the source pixel
  EXPECT_EQ(right->bitmap()->rgba[1], 100);  // y: the bottom row
  const auto left = PlatformImage::over(bitmap, 1.0, Orientation::left)->redraw(2, 3);
  EXPECT_EQ(left->bitmap()->rgba[0], 200);  // the top-right pixel
  EXPECT_EQ(left->bitmap()->rgba[1], 0);
}

TEST(PlatformImage, GrayImagesReadAsEqualChannels) {
  const Bytes gray = {0, 128, 255, 7};
  const auto image = PlatformImage::fromGray(2, 2, gray);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bitmap()->rgba[4], 128);
  EXPECT_EQ(image->bitmap()->rgba[5], 128);
  EXPECT_EQ(image->bitmap()->rgba[7], 255);
}

TEST(Base64, RoundTripsAndRejectsForeignCharacters) {
  const std::pair<Bytes, std::string> cases[] = {{{}, ""},
                                                 {{'f'}, "Zg=="},
                                                 {{'f', 'o'}, "Zm8="},
                                                 {{'f', 'o', 'o'}, "Zm9v"},
                                                 {{0xFF, 0x00, 0xFE, 0x7F}, "/wD+fw=="}};
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(base64Encode(bytes), text);
    EXPECT_EQ(base64Decode(text), bytes);
  }
  EXPECT_FALSE(base64Decode("ab$c"));
}

}  // namespace
}  // namespace vistrel::platform
