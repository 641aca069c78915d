#include "vistrel/image/ImageManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "tests/support/TestImages.h"

namespace vistrel::image {
namespace {

using test::rgb;

ImageManager& registry() { return ImageManager::sharedInstance(); }

TEST(ImageIds, ThirtyTwoUpperCaseHexDigitsNeverRepeated) {
  const auto wellFormed = [](const std::string& id) {
    return id.size() == 32 && std::all_of(id.begin(), id.end(), [](char c) {
             return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
           });
  };
  std::set<std::string> ids;
  for (int i = 0; i < 2000; ++i) {
    const std::string id = newImageId();
    ASSERT_TRUE(wellFormed(id)) << id;
    ASSERT_TRUE(ids.insert(id).second) << "repeated " << id;
  }
}

TEST(Registry, AnAdditionIsSeenAtOnceFromAnotherThread) {
  const std::string id = registry().addOnlyImage(test::solidImage(3, 3, rgb(1, 1, 1)));
  platform::ImagePtr seen;
  std::thread([&] { seen = registry().getUIImage(id); }).join();
  EXPECT_TRUE(seen);
  registry().recycleImage(id);
}

TEST(Registry, RecycleAndIsRecycled) {
  EXPECT_TRUE(registry().isRecycled(""));
  EXPECT_FALSE(registry().recycleImage("UNKNOWN"));
  const std::string id = registry().addOnlyImage(test::solidImage(3, 3, rgb(1, 1, 1)));
  EXPECT_FALSE(registry().isRecycled(id));
  EXPECT_TRUE(registry().recycleImage(id));
  EXPECT_TRUE(registry().isRecycled(id));
  EXPECT_FALSE(registry().recycleImage(id));
  EXPECT_FALSE(registry().getUIImage(id));
}

TEST(Registry, SizesAndPixelsAtTheEdges) {
  const std::string id = registry().addOnlyImage(test::makeImage(4, 2, [](int x, int y) {
    return rgb(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 0);
  }));
  EXPECT_EQ(registry().getWidth(id), 4);
  EXPECT_EQ(registry().getHeight(id), 2);
  EXPECT_EQ(registry().getWidth("UNKNOWN"), 0);
  EXPECT_EQ(registry().getWidth("UNKNOWN-mat"), -1);
  EXPECT_EQ(registry().pixel(id, 3, 1), rgb(3, 1, 0));
  EXPECT_EQ(registry().pixel(id, 4, 0), 0);  // x equal to the width
  EXPECT_EQ(registry().pixel(id, 0, 2), 0);
  EXPECT_EQ(registry().pixel(id, -1, 0), 0);
  EXPECT_EQ(registry().pixel("", 0, 0), 0);
  registry().recycleImage(id);
}

TEST(Registry, StoreByModeFollowsMatrixMode) {
  registry().setOpencvMat(true);
  const std::string matrix = registry().storeByMode(test::solidImage(2, 2, 0));
  registry().setOpencvMat(false);
  EXPECT_EQ(matrix.size(), 36u);
  EXPECT_TRUE(matrix.ends_with("-mat"));
  EXPECT_TRUE(registry().recycleImage(matrix));
  const std::string id = registry().storeByMode(test::solidImage(2, 2, 0));
  EXPECT_EQ(id.size(), 32u);
  registry().recycleImage(id);
}

}  // namespace
}  // namespace vistrel::image
